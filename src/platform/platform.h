// The program's one seam to the operating system. Everything outside
// src/platform talks to Windows (or to a test double) through its four
// parts; code that needs one part only may take that part alone.
#pragma once

#include "platform/desktop.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/system_services.h"

namespace rw {

/// A view of the four parts; whoever makes one owns them.
struct Platform {
  FileSystem& files;
  Processes& processes;
  Desktop& desktop;
  SystemServices& system;
};

}  // namespace rw
