#include "ui/win32/DialogTemplateWriter.h"

#include "ui/win32/Win32Styles.h"
#include "win32/WideText.h"

namespace {

constexpr WORD kExtendedVersion = 1;
constexpr WORD kExtendedSignature = 0xFFFF;
constexpr WORD kOrdinalMark = 0xFFFF;
constexpr WORD kNone = 0;
constexpr DWORD kNoHelpId = 0;
constexpr WORD kNoCreationData = 0;
constexpr BYTE kNotItalic = 0;
constexpr int kWordsPerDword = 2;

}  // namespace

DialogTemplateWriter::DialogTemplateWriter(const DialogTemplate& dialogTemplate) {
    WriteHeader(dialogTemplate);
    for (const ControlTemplate& control : dialogTemplate.controls) {
        WriteItem(control);
    }
}

const DLGTEMPLATE* DialogTemplateWriter::Data() const {
    return reinterpret_cast<const DLGTEMPLATE*>(m_words.data());
}

void DialogTemplateWriter::WriteHeader(const DialogTemplate& dialogTemplate) {
    // Placed in the middle of the screen; the template says nothing of where.
    const Win32Styles styles = DialogStyles(dialogTemplate);
    Word(kExtendedVersion);
    Word(kExtendedSignature);
    Dword(kNoHelpId);
    Dword(styles.exStyle);
    Dword(styles.style | DS_CENTER);
    Word(static_cast<WORD>(dialogTemplate.controls.size()));
    Short(0);
    Short(0);
    Short(dialogTemplate.cx);
    Short(dialogTemplate.cy);
    Word(kNone);  // menu
    Word(kNone);  // window class: the system's dialog class
    Text(dialogTemplate.caption);
    WriteFont(dialogTemplate);
}

void DialogTemplateWriter::WriteFont(const DialogTemplate& dialogTemplate) {
    Word(static_cast<WORD>(dialogTemplate.pointSize));
    Word(FW_NORMAL);
    Word(MAKEWORD(kNotItalic, DEFAULT_CHARSET));
    Text(dialogTemplate.fontName);
}

void DialogTemplateWriter::WriteItem(const ControlTemplate& control) {
    AlignToDword();
    const Win32Styles styles = ControlStyles(control);
    Dword(kNoHelpId);
    Dword(styles.exStyle);
    Dword(styles.style);
    Short(control.rect.x);
    Short(control.rect.y);
    Short(control.rect.cx);
    Short(control.rect.cy);
    Dword(static_cast<DWORD>(control.id));
    Ordinal(ControlClassOrdinal(control.kind));
    if (control.kind == ControlKind::Icon) {
        Ordinal(static_cast<WORD>(control.iconId));
    } else {
        Text(control.text);
    }
    Word(kNoCreationData);
}

void DialogTemplateWriter::AlignToDword() {
    if (m_words.size() % kWordsPerDword != 0) {
        Word(0);
    }
}

void DialogTemplateWriter::Word(WORD value) {
    m_words.push_back(value);
}

void DialogTemplateWriter::Dword(DWORD value) {
    Word(LOWORD(value));
    Word(HIWORD(value));
}

void DialogTemplateWriter::Short(int value) {
    Word(static_cast<WORD>(static_cast<short>(value)));
}

void DialogTemplateWriter::Text(std::string_view text) {
    for (const wchar_t c : WideFromAnsi(text)) {
        Word(static_cast<WORD>(c));
    }
    Word(0);
}

void DialogTemplateWriter::Ordinal(WORD value) {
    Word(kOrdinalMark);
    Word(value);
}
