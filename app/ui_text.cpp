#include "app/ui_text.h"

// The Chinese texts are written as GBK byte escapes so that they do not depend on the
// encoding this file is read in; the readable text stands in the comment beside each.
// A literal is split where an escape would run into a following hex digit.

namespace brenvik {

TextPair TitleText = {
    "Brenvik \xb0\xe6\xb1\xbe\xa3\xba"
    "1.1",  // Brenvik 版本：1.1
    "Brenvik Ver:1.1"};
TextPair ProgressLabelText = {"\xbd\xf8\xb6\xc8\xa3\xba",  // 进度：
                              "Progress"};
TextPair AboutTitleText = {"Brenvik", "About"};
TextPair OkText = {"\xc8\xb7\xb6\xa8",  // 确定
                   "Ok"};
// The English text keeps its misspelling: it is the text users have always seen.
TextPair LinkText = {
    "\xb7\xc3\xce\xcaVelmora\xcd\xf8\xd5\xbe\xa3\xac\xbb\xf1\xc8\xa1\xb8\xfc\xb6\xe0\xd0\xc5\xcf"
    "\xa2...",  // 访问Velmora网站，获取更多信息...
    "To obtain more infomation, please visit our web site."};

const char* const ButtonTexts[2][4] = {
    {
        "\xbc\xec\xb2\xe2",                                  // 检测
        "\xd0\xde\xb8\xb4",                                  // 修复
        "\xb9\xd8\xd3\xda...",                               // 关于...
        "\xbb\xb9\xd4\xad\xd7\xc0\xc3\xe6\xcd\xbc\xb1\xea",  // 还原桌面图标
    },
    {"Scan", "Fix", "About...", "Fix Desktop"},
};

const char* const ColumnTexts[2][3] = {
    {
        "\xce\xbb\xd6\xc3",  // 位置
        "\xcd\xf8\xd6\xb7",  // 网址
        "\xd7\xb4\xcc\xac",  // 状态
    },
    {"Location", "Web Site", "Status"},
};

const char* const AboutTexts[2][4] = {
    {
        "Brenvik\xb9\xa4\xbe\xdf",                   // Brenvik工具
        "\xb0\xe6\xb1\xbe\xba\xc5\xa3\xba",          // 版本号：
        "\xb8\xfc\xd0\xc2\xca\xb1\xbc\xe4\xa3\xba",  // 更新时间：
        "Velmora",
    },
    {"Brenvik", "Version: ", "Update: ", "Velmora"},
};

// 已修复 %d 项，失败 %d 项；备份 %s
TextPair FixDoneText = {
    "\xd2\xd1\xd0\xde\xb8\xb4 %d \xcf\xee\xa3\xac\xca\xa7\xb0\xdc %d "
    "\xcf\xee\xa3\xbb\xb1\xb8\xb7\xdd %s",
    "Fixed %d, failed %d; backup %s"};
// 无法建立备份，未作任何修改
TextPair FixNoBackupText = {
    "\xce\xde\xb7\xa8\xbd\xa8\xc1\xa2\xb1\xb8\xb7\xdd\xa3\xac\xce\xb4\xd7\xf7\xc8\xce\xba\xce\xd0"
    "\xde\xb8\xc4",
    "No backup could be made; nothing was changed"};
// 桌面图标已还原；备份 %s
TextPair FixDesktopDoneText = {
    "\xd7\xc0\xc3\xe6\xcd\xbc\xb1\xea\xd2\xd1\xbb\xb9\xd4\xad\xa3\xbb\xb1\xb8\xb7\xdd %s",
    "Desktop icons restored; backup %s"};
// 桌面图标还原失败 %d 项；备份 %s
TextPair FixDesktopFailedText = {
    "\xd7\xc0\xc3\xe6\xcd\xbc\xb1\xea\xbb\xb9\xd4\xad\xca\xa7\xb0\xdc %d "
    "\xcf\xee\xa3\xbb\xb1\xb8\xb7\xdd %s",
    "Desktop icons: %d failed; backup %s"};
// ；未能检查 %d 处
TextPair SkippedText = {"\xa3\xbb\xce\xb4\xc4\xdc\xbc\xec\xb2\xe9 %d \xb4\xa6",
                        "; %d not examined"};
// 还原上次修复
TextPair RestoreMenuText = {"\xbb\xb9\xd4\xad\xc9\xcf\xb4\xce\xd0\xde\xb8\xb4",
                            "Restore last repair"};
// 要还原上次修复（备份 %s）所改动的内容吗？
TextPair RestoreConfirmText = {
    "\xd2\xaa\xbb\xb9\xd4\xad\xc9\xcf\xb4\xce\xd0\xde\xb8\xb4\xa3\xa8\xb1\xb8\xb7\xdd "
    "%s\xa3\xa9\xcb\xf9\xb8\xc4\xb6\xaf\xb5\xc4\xc4\xda\xc8\xdd\xc2\xf0\xa3\xbf",
    "Put back what the last repair (backup %s) changed?"};
// 已还原 %d 项，冲突 %d 项，失败 %d 项
TextPair RestoreDoneText = {
    "\xd2\xd1\xbb\xb9\xd4\xad %d \xcf\xee\xa3\xac\xb3\xe5\xcd\xbb %d "
    "\xcf\xee\xa3\xac\xca\xa7\xb0\xdc %d \xcf\xee",
    "Restored %d, conflicts %d, failed %d"};
// 没有可还原的修复
TextPair NoBackupText = {"\xc3\xbb\xd3\xd0\xbf\xc9\xbb\xb9\xd4\xad\xb5\xc4\xd0\xde\xb8\xb4",
                         "No repair to restore"};

TextPair NotSelectedCellText = {"\xd2\xd1\xcc\xf8\xb9\xfd",  // 已跳过
                                "Skipped"};
TextPair IgnoredCellText = {"\xd2\xd1\xba\xf6\xc2\xd4",  // 已忽略
                            "Ignored"};
TextPair ReportOnlyCellText = {"\xbd\xf6\xb1\xa8\xb8\xe6",  // 仅报告
                               "Report only"};
// ；已跳过 %d 项
TextPair NotSelectedCountText = {"\xa3\xbb\xd2\xd1\xcc\xf8\xb9\xfd %d \xcf\xee", "; %d skipped"};
// 显示已忽略的项
TextPair ShowIgnoredMenuText = {"\xcf\xd4\xca\xbe\xd2\xd1\xba\xf6\xc2\xd4\xb5\xc4\xcf\xee",
                                "Show ignored"};

const char* const RowMenuTexts[2][4] = {
    {
        "\xba\xf6\xc2\xd4",                                  // 忽略
        "\xc8\xa1\xcf\xfb\xba\xf6\xc2\xd4",                  // 取消忽略
        "\xb8\xb4\xd6\xc6\xcf\xea\xcf\xb8\xd0\xc5\xcf\xa2",  // 复制详细信息
        "\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe\xce\xbb\xd6\xc3",  // 打开文件位置
    },
    {"Ignore", "Stop ignoring", "Copy details", "Open file location"},
};

// 已忽略 %d 项
TextPair IgnoreDoneText = {"\xd2\xd1\xba\xf6\xc2\xd4 %d \xcf\xee", "Ignored %d"};
// 已取消忽略 %d 项
TextPair UnignoreDoneText = {"\xd2\xd1\xc8\xa1\xcf\xfb\xba\xf6\xc2\xd4 %d \xcf\xee",
                             "Stopped ignoring %d"};
// 忽略列表无效，未作任何修改
TextPair ListRefusedText = {
    "\xba\xf6\xc2\xd4\xc1\xd0\xb1\xed\xce\xde\xd0\xa7\xa3\xac\xce\xb4\xd7\xf7\xc8\xce\xba\xce"
    "\xd0\xde\xb8\xc4",
    "The ignore list was refused; nothing was changed"};
// 该项已不存在，请重新检测
TextPair ListUnknownText = {
    "\xb8\xc3\xcf\xee\xd2\xd1\xb2\xbb\xb4\xe6\xd4\xda\xa3\xac\xc7\xeb\xd6\xd8\xd0\xc2\xbc\xec"
    "\xb2\xe2",
    "No longer found; scan again"};
// 无法写入忽略列表
TextPair ListWriteFailedText = {"\xce\xde\xb7\xa8\xd0\xb4\xc8\xeb\xba\xf6\xc2\xd4\xc1\xd0\xb1\xed",
                                "The ignore list could not be written"};
TextPair TipRuleText = {"\xb9\xe6\xd4\xf2\xa3\xba",  // 规则：
                        "Rule: "};
TextPair TipIdText = {"\xb1\xe0\xba\xc5\xa3\xba",  // 编号：
                      "Id: "};

int LanguageFromLangId(unsigned short langId) {
    // The whole identifier counts: only Chinese as used in the PRC gives Chinese, the other
    // Chinese variants (0x0404 Taiwan, 0x0c04 Hong Kong, ...) get English.
    constexpr unsigned short kChinesePrc = 0x0804;
    return langId == kChinesePrc ? kLanguageChinese : kLanguageEnglish;
}

}  // namespace brenvik
