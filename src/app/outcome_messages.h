// What the user is told when a road of the pipeline did not end as hoped.
#pragma once

#include <string>

#include "pipeline/outcome.h"
#include "platform/desktop.h"

namespace rw {

struct App;

/// The message for a result, in the user's language; empty for Done and
/// Declined, which need none.
std::string MessageFor(const App& app, const PipelineResult& result);
/// The symbol its message box carries.
MessageIcon IconFor(const PipelineResult& result);

}  // namespace rw
