#pragma once

#include <cstdint>

// The editor module's start-up: the text engine is "loaded" once and probed for its version, and
// the clipboard formats the editors exchange are registered. Every editor reads the outcome.
namespace RichEditModule {

// Loads and probes the engine and registers the clipboard formats; later calls do nothing until
// Reset().
void Init();
// Forgets the probe (tests run the start-up again under another engine version).
void Reset();
bool Loaded();

} // namespace RichEditModule

// -1 without an engine; 1 for the first engine; 2 for the second; 3 for the third or later.
int32_t RichEditVersion();

// The four registered clipboard formats, in the order they are registered.
uint32_t CF_EMBEDDEDOBJECT();
uint32_t CF_LINKSOURCE();
uint32_t CF_RTF();
uint32_t CF_RTFNOOBJS();
