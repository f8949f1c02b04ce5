#include "ui/commands.h"

#include "app/app.h"
#include "app/language_text.h"
#include "engine/apply_tweaks.h"
#include "stores/own_rules_files.h"
#include "stores/text.h"
#include "ui/own_rules_state.h"

namespace rw {

namespace {

// Drops what a language file should never put into an address: control
// characters, which could end the command line's argument or line.
std::string WithoutControlCharacters(std::string_view text) {
  std::string out;
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F) out += c;
  return out;
}

}  // namespace

TweakReport WriteTweaks(const App& app, const OptionSnapshot& options, bool compositionEnabled) {
  // Read for every run: the user may have edited them with an editor of
  // their own. A file that fails its check is left out by the engine.
  const OwnRulesPair own = ReadBothOwnRules(app.platform, app.programFolder);
  const TweakInputs inputs{options, app.SingleSkinHost, compositionEnabled, TextsOf(own)};
  TweakReport report = ApplyTweaks(app.platform, app.programFolder, inputs, /*isClassic=*/false);
  if (!app.SingleSkinHost) report.Append(ApplyTweaks(app.platform, app.programFolder, inputs, /*isClassic=*/true));
  return report;
}

std::optional<std::string> SafeHelpAddress(std::string_view address) {
  const std::string text(TrimBlanks(WithoutControlCharacters(address)));
  // The host takes "-" and "/" words as its own switches.
  if (text.empty() || text.front() == '-' || text.front() == '/') return std::nullopt;
  return ReplaceAll(text, "\"", "%22");
}

std::string QuoteArgument(std::string_view text) {
  std::size_t trailing = 0;
  while (trailing < text.size() && text[text.size() - 1 - trailing] == '\\') ++trailing;
  return "\"" + std::string(text) + std::string(trailing, '\\') + "\"";
}

void HelpCommand(App& app) {
  Platform& platform = app.platform;
  const std::optional<std::string> address = SafeHelpAddress(Text(app, "HelpURL"));
  if (!address) return;
  const std::string host = app.Host().HostExecutable();
  // A host that exists but will not start still leaves the default browser.
  if (!app.HostBinFolder.empty() && platform.files.FileExists(host) &&
      platform.processes.StartProcess(QuoteArgument(host) + " " + QuoteArgument(*address), /*hidden=*/false))
    return;
  platform.processes.OpenInDefaultBrowser(*address);
}

std::string AboutText(const App& app) {
  return "Ravelwick" + std::string(10, ' ') + "\r\n" + app.AppVersion + "\r\n" + "Made by the Ravelwick developers";
}

void AboutCommand(App& app, WindowHandle owner) { app.Message(AboutText(app), MessageButtons::Ok, owner); }

}  // namespace rw
