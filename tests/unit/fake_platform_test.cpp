// The test double honours the platform contract, so what the core's tests
// show on it holds on the real platforms too.
#include "support/fake_platform.h"
#include "contract/platform_contract.h"

namespace rw::test {
namespace {

class FakeWorld : public ContractWorld {
 public:
  FakeWorld() { platform_.AddFolder(Folder()); }
  Platform& platform() override { return platform_; }
  std::string Folder() const override { return "C:\\Ravelwick\\Contract"; }
  void MakeReadOnly(const std::string& path) override { platform_.SetReadOnly(path, true); }
  bool MakeLink(const std::string& target, const std::string& link) override {
    platform_.aliases[link] = target;
    return true;
  }

 private:
  FakePlatform platform_;
};

INSTANTIATE_TEST_SUITE_P(Fake, PlatformContract,
                         ::testing::Values(ContractTarget{"Fake", [] { return std::make_unique<FakeWorld>(); }}),
                         ContractName);

}  // namespace
}  // namespace rw::test
