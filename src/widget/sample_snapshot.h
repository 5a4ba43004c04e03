#pragma once

#include "core/earnings/snapshot.h"

namespace ambrel {

// The widget's built-in figures: what the gallery preview shows and what a timeline falls back
// to when nothing is cached. Built on first use, once, whichever thread gets there first.
const AmbrelSnapshot& sampleSnapshot();

}  // namespace ambrel
