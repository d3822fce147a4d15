#include "app/row_texts.h"

#include <windows.h>

#include "app/ui_text.h"
#include "platform/win32/wide_text.h"

namespace brenvik {

std::wstring WideUiText(const char* text, int language) {
    // The Chinese texts are GBK whatever the system's code page; the English ones ASCII.
    const UINT codePage = language == kLanguageChinese ? 936 : CP_ACP;
    const int length = MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

std::wstring RowStatusText(const ResultRecord& record, int language) {
    switch (record.result) {
        case Outcome::NotSelected:
            return WideUiText(NotSelectedCellText[language], language);
        case Outcome::Ignored:
            return WideUiText(IgnoredCellText[language], language);
        case Outcome::ReportOnly:
            return WideUiText(ReportOnlyCellText[language], language);
        default:
            return Utf8ToWide(StatusCell(record));
    }
}

std::wstring RowTipText(const ResultRecord& record, int language) {
    std::wstring tip = Utf8ToWide(record.path);
    if (record.result == Outcome::Skipped)
        return tip + L"\r\n" + RowStatusText(record, language);
    if (!record.rule.empty())
        tip += L"\r\n" + WideUiText(TipRuleText[language], language) + Utf8ToWide(record.rule);
    if (!record.id.empty())
        tip += L"\r\n" + WideUiText(TipIdText[language], language) + Utf8ToWide(record.id);
    return tip;
}

std::wstring RowDetailsText(const ResultRecord& record, int language) {
    const struct {
        const wchar_t* name;
        std::wstring value;
    } lines[] = {
        {L"location", Utf8ToWide(record.location)},
        {L"path", Utf8ToWide(record.path)},
        {L"rule", Utf8ToWide(record.rule)},
        {L"site", Utf8ToWide(record.site)},
        {L"target", Utf8ToWide(record.target)},
        {L"arguments", Utf8ToWide(record.arguments)},
        {L"status", record.result == Outcome::Found ? Utf8ToWide(OutcomeName(record.result))
                                                    : RowStatusText(record, language)},
        {L"id", Utf8ToWide(record.id)},
    };
    std::wstring text;
    for (const auto& line : lines) text += std::wstring(line.name) + L": " + line.value + L"\r\n";
    return text;
}

}  // namespace brenvik
