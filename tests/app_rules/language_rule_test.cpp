#include <gtest/gtest.h>

#include "app/ui_text.h"

namespace brenvik {
namespace {

TEST(LanguageRule, OnlyChineseAsUsedInThePrcGivesChinese) {
    struct Case {
        unsigned short langId;
        int expected;
    };
    const Case cases[] = {
        {0x0804, kLanguageChinese},  // Chinese, PRC
        {0x0404, kLanguageEnglish},  // Chinese, Taiwan
        {0x0c04, kLanguageEnglish},  // Chinese, Hong Kong
        {0x1004, kLanguageEnglish},  // Chinese, Singapore
        {0x0004, kLanguageEnglish},  // Chinese, no sub-language
        {0x0409, kLanguageEnglish},  // English, United States
        {0x0407, kLanguageEnglish},  // German
        {0x0000, kLanguageEnglish},  // neutral
        {0x8804, kLanguageEnglish},  // same primary language, other sub-language bits
        {0xffff, kLanguageEnglish},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LanguageFromLangId(c.langId), c.expected) << std::hex << c.langId;
    }
}

}  // namespace
}  // namespace brenvik
