#pragma once

#include "res/DialogTemplate.h"
#include "ui/win32/WindowsApi.h"

#include <string_view>
#include <vector>

// A window template as the system's in-memory dialog template: an extended header
// (DLGTEMPLATEEX) with the caption and font, then one extended item (DLGITEMTEMPLATEEX) per
// control, each DWORD-aligned, in tab order. Positions and sizes stay in dialog units, which
// the dialog manager turns into pixels from the template's font.
class DialogTemplateWriter {
public:
    explicit DialogTemplateWriter(const DialogTemplate& dialogTemplate);

    // For DialogBoxIndirectParamW; valid while the writer lives.
    const DLGTEMPLATE* Data() const;

private:
    void WriteHeader(const DialogTemplate& dialogTemplate);
    void WriteFont(const DialogTemplate& dialogTemplate);
    void WriteItem(const ControlTemplate& control);

    void AlignToDword();
    void Word(WORD value);
    void Dword(DWORD value);
    void Short(int value);
    // The text as a zero-terminated UTF-16 string.
    void Text(std::string_view text);
    // A resource or class named by number rather than by name.
    void Ordinal(WORD value);

    // Words, so that the start is aligned as the system needs it.
    std::vector<WORD> m_words;
};
