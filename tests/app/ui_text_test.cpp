#include "app/ui_text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace brenvik {
namespace {

// What users must see, read back through the system's own code page 936 converter: a wrong
// or missing byte in the escapes shows up as a different character or a conversion error.
std::u16string FromGbk(const char* text) {
    wchar_t wide[128];
    const int n =
        MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, text, -1, wide, int(std::size(wide)));
    if (n <= 0) {
        return u"<not GBK>";
    }
    return std::u16string(wide, wide + n - 1);
}

TEST(UiText, ChineseTextsAreExactGbk) {
    struct Case {
        const char* text;
        std::u16string expected;
    };
    const Case cases[] = {
        {TitleText[0], u"Brenvik 版本：1.1"},
        {ProgressLabelText[0], u"进度："},
        {ButtonTexts[0][0], u"检测"},
        {ButtonTexts[0][1], u"修复"},
        {ButtonTexts[0][2], u"关于..."},
        {ButtonTexts[0][3], u"还原桌面图标"},
        {ColumnTexts[0][0], u"位置"},
        {ColumnTexts[0][1], u"网址"},
        {ColumnTexts[0][2], u"状态"},
        {AboutTitleText[0], u"Brenvik"},
        {AboutTexts[0][0], u"Brenvik工具"},
        {AboutTexts[0][1], u"版本号："},
        {AboutTexts[0][2], u"更新时间："},
        {AboutTexts[0][3], u"Velmora"},
        {OkText[0], u"确定"},
        {LinkText[0], u"访问Velmora网站，获取更多信息..."},
        {SkippedText[0], u"；未能检查 %d 处"},
        {NotSelectedCellText[0], u"已跳过"},
        {IgnoredCellText[0], u"已忽略"},
        {NotSelectedCountText[0], u"；已跳过 %d 项"},
        {ShowIgnoredMenuText[0], u"显示已忽略的项"},
        {RowMenuTexts[0][0], u"忽略"},
        {RowMenuTexts[0][1], u"取消忽略"},
        {RowMenuTexts[0][2], u"复制详细信息"},
        {RowMenuTexts[0][3], u"打开文件位置"},
        {IgnoreDoneText[0], u"已忽略 %d 项"},
        {UnignoreDoneText[0], u"已取消忽略 %d 项"},
        {ListRefusedText[0], u"忽略列表无效，未作任何修改"},
        {ListUnknownText[0], u"该项已不存在，请重新检测"},
        {ListWriteFailedText[0], u"无法写入忽略列表"},
        {TipRuleText[0], u"规则："},
        {TipIdText[0], u"编号："},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FromGbk(c.text), c.expected) << c.text;
    }
}

}  // namespace
}  // namespace brenvik
