// The behaviour every platform must have, written once for each of its
// parts (files, then the system's services). Each test binary
// instantiates PlatformContract with the platforms it can run: the test
// double and the Linux platform natively, the Win32 platform under Wine.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "platform/platform.h"

namespace rw::test {

/// A platform with an empty folder of its own, removed with the world.
class ContractWorld {
 public:
  virtual ~ContractWorld() = default;
  virtual Platform& platform() = 0;
  /// An existing, empty folder, in the platform's path syntax.
  virtual std::string Folder() const = 0;
  /// Sets the read-only attribute; Platform itself never sets one.
  virtual void MakeReadOnly(const std::string& path) = 0;
  /// Makes `link` lead to the folder `target` as the platform's links do;
  /// false where the world cannot make one.
  virtual bool MakeLink(const std::string& target, const std::string& link) = 0;
};

struct ContractTarget {
  std::string name;
  std::function<std::unique_ptr<ContractWorld>()> make;
  /// File names match without regard to letter case (Windows, the double);
  /// false where the file system tells them apart (Linux).
  bool caseInsensitive = true;
};

inline void PrintTo(const ContractTarget& target, std::ostream* out) { *out << target.name; }
inline std::string ContractName(const ::testing::TestParamInfo<ContractTarget>& info) { return info.param.name; }

class PlatformContract : public ::testing::TestWithParam<ContractTarget> {
 protected:
  void SetUp() override;
  Platform& p() { return world_->platform(); }
  std::string Folder() const { return world_->Folder(); }
  std::string Path(const std::string& name) const { return Folder() + "\\" + name; }
  void MakeReadOnly(const std::string& path) { world_->MakeReadOnly(path); }
  bool MakeLink(const std::string& target, const std::string& link) { return world_->MakeLink(target, link); }

  std::unique_ptr<ContractWorld> world_;
};

}  // namespace rw::test
