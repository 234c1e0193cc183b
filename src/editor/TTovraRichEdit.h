#pragma once

#include "editor/TTovraCustomRichEdit.h"

// The rich editor as programs place it on their forms: adds no code of its own.
class TTovraRichEdit : public TTovraCustomRichEdit {
    Q_OBJECT
public:
    using TTovraCustomRichEdit::TTovraCustomRichEdit;
};
