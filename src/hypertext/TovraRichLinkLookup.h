#pragma once

#include <QString>

#include <cstdint>

class TTovraCustomRichEdit;

// Links live in the text: a hidden start marker "\001HR\002", the visible display text, and a
// hidden tail "\001/HR:URL=" or "\001/HR:LNK=" with the target and a closing "\002".

// Finds the link whose display text holds Pos: its start marker s and the start e of its tail.
// The display text is [s + 4, e), at most 45 characters and not empty.
bool LocateLinkAround(TTovraCustomRichEdit& editor, int32_t Pos, int32_t& s, int32_t& e);

// The link lookup at a character position: aType is true for a link to a bookmark and false for
// a web link, aAddress the target. False when no whole link holds the position.
bool GetLinkParams(TTovraCustomRichEdit& editor, int32_t Pos, bool& aType, QString& aAddress);
