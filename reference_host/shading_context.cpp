#include "reference_host/shading_context.h"

namespace {
thread_local const ShadingContext* tCurrent = nullptr;
}

ShadingScope::ShadingScope(const ShadingContext& context) : context_(context), previous_(tCurrent) {
  tCurrent = &context_;
}

ShadingScope::~ShadingScope() { tCurrent = previous_; }

const ShadingContext* currentShadingContext() { return tCurrent; }
