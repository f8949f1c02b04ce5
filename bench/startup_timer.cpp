// Times programs from their start until a given window is shown, in turns,
// and prints the best and median of each and their ratio. Each program is
// started from its own folder, timed until a visible top-level window of the
// class and title appears, then closed with the system close command and
// waited for, so that the next start finds none of it left.
//
//   startup_timer ROUNDS NAME CLASS TITLE EXE [NAME CLASS TITLE EXE]...
//
// Exit code 1 when a window did not appear within a minute.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Program {
  std::wstring name, windowClass, title, exe;
  std::vector<double> ms;
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Milliseconds until the window is shown; a negative value when it is not.
double TimeOne(const Program& program) {
  std::wstring commandLine = L"\"" + program.exe + L"\"";
  const std::wstring folder = program.exe.substr(0, program.exe.find_last_of(L"\\/"));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  if (!CreateProcessW(program.exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &process))
    return -1;
  HWND window = nullptr;
  double ms = -1;
  for (;;) {
    window = FindWindowW(program.windowClass.c_str(), program.title.c_str());
    QueryPerformanceCounter(&now);
    if (window && IsWindowVisible(window)) {
      ms = Seconds(start, now) * 1000;
      break;
    }
    if (Seconds(start, now) > 60 || WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(2);  // polling harder would take the processor from the program being timed
  }
  if (window) PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return ms;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 6 || (argc - 2) % 4 != 0) {
    std::fprintf(stderr, "usage: startup_timer ROUNDS NAME CLASS TITLE EXE [NAME CLASS TITLE EXE]...\n");
    return 2;
  }
  const int rounds = std::max(1, _wtoi(argv[1]));
  std::vector<Program> programs;
  for (int i = 2; i + 3 < argc; i += 4) programs.push_back(Program{argv[i], argv[i + 1], argv[i + 2], argv[i + 3], {}});

  for (int round = 0; round < rounds; ++round) {
    // Turns alternate, so that neither program always runs right after the other.
    for (size_t k = 0; k < programs.size(); ++k) {
      Program& program = programs[round % 2 ? programs.size() - 1 - k : k];
      const double ms = TimeOne(program);
      if (ms < 0) {
        std::fprintf(stderr, "%ls: no window of class %ls titled \"%ls\" appeared\n", program.name.c_str(),
                     program.windowClass.c_str(), program.title.c_str());
        return 1;
      }
      program.ms.push_back(ms);
      std::printf("round %d  %-12ls %8.1f ms\n", round + 1, program.name.c_str(), ms);
      std::fflush(stdout);
      Sleep(300);
    }
  }
  // Ratios of the best times: to the first program, and to the one listed
  // before each.
  std::printf("\n%-12s %10s %10s %10s %10s\n", "program", "best ms", "median ms", "x first", "x previous");
  double first = 0, previous = 0;
  for (const Program& program : programs) {
    const double best = *std::min_element(program.ms.begin(), program.ms.end());
    if (first == 0) first = previous = best;
    std::printf("%-12ls %10.1f %10.1f %10.2f %10.2f\n", program.name.c_str(), best, Median(program.ms), best / first,
                best / previous);
    previous = best;
  }
  return 0;
}
