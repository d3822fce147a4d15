// Every interface text as a Chinese/English pair, and the rule that picks the language.
#pragma once

namespace brenvik {

// Language indices: every UiText entry is indexed by one of them.
constexpr int kLanguageChinese = 0;
constexpr int kLanguageEnglish = 1;

// Chinese texts are GBK (code page 936) bytes; English texts are ASCII.
using TextPair = const char* const[2];

extern TextPair TitleText;
extern TextPair ProgressLabelText;
extern TextPair AboutTitleText;
extern TextPair OkText;
extern TextPair LinkText;
// One array per language, in the order of the buttons 1..4, the columns 1..3 and the
// about box's controls 1005..1008.
extern const char* const ButtonTexts[2][4];
extern const char* const ColumnTexts[2][3];
extern const char* const AboutTexts[2][4];

// The results of Fix, Fix Desktop and Restore on the status line (printf formats).
// After Fix: fixed and failed counts, then the backup set's id.
extern TextPair FixDoneText;
extern TextPair FixNoBackupText;
extern TextPair FixDesktopDoneText;
extern TextPair FixDesktopFailedText;
// Added to the status line after Fix when places could not be examined: their count.
extern TextPair SkippedText;
// The system menu item, and its confirmation with the set's id.
extern TextPair RestoreMenuText;
extern TextPair RestoreConfirmText;
extern TextPair RestoreDoneText;
extern TextPair NoBackupText;

// The report list's Status cell of a finding Fix left alone (its box unchecked), and of one on
// the ignore list; the line after Fix counts the former.
extern TextPair NotSelectedCellText;
extern TextPair IgnoredCellText;
extern TextPair ReportOnlyCellText;
extern TextPair NotSelectedCountText;
// The system menu's check item: Scan lists ignored findings too.
extern TextPair ShowIgnoredMenuText;
// A row's context menu, in the order of the RowCommand values.
extern const char* const RowMenuTexts[2][4];
// After Ignore and Stop ignoring: the count changed, or why nothing was.
extern TextPair IgnoreDoneText;
extern TextPair UnignoreDoneText;
extern TextPair ListRefusedText;
extern TextPair ListUnknownText;
extern TextPair ListWriteFailedText;
// The labels of a row's tooltip lines after its object.
extern TextPair TipRuleText;
extern TextPair TipIdText;

// 0x0804 (Chinese, PRC) gives Chinese; every other language identifier gives English.
int LanguageFromLangId(unsigned short langId);

}  // namespace brenvik
