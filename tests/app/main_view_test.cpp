#include <windows.h>

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "app/scan_view.h"
#include "app/ui_text.h"
#include "res/resource.h"
#include "test_dialog.h"

namespace brenvik {
namespace {

using test::TestDialog;

// The language the tests expect, worked out apart from the code under test.
int ExpectedLanguage() {
    return GetUserDefaultLangID() == 0x0804 ? 0 : 1;
}

std::string WindowText(HWND hWnd) {
    char buffer[256];
    memset(buffer, 0xbd, sizeof(buffer));
    GetWindowTextA(hWnd, buffer, sizeof(buffer));
    return buffer;
}

class InitMainViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_dialog.get(), nullptr);
        // A style set before must survive: full-row select is added, not set alone.
        SendMessageA(m_dialog.item(IDC_REPORT), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
        InitMainView(m_dialog.get());
        m_view = reinterpret_cast<ScanView*>(GetWindowLongPtrA(m_dialog.get(), GWLP_USERDATA));
        ASSERT_NE(m_view, nullptr);
    }
    // The view is meant to outlive the dialog in the program; here each test owns one.
    void TearDown() override { delete m_view; }

    TestDialog m_dialog;
    ScanView* m_view = nullptr;
};

TEST_F(InitMainViewTest, AttachesAViewOfTheDialogsControls) {
    EXPECT_EQ(ScanViewOf(m_dialog.get()), m_view);
    EXPECT_EQ(m_view->m_hProgress, m_dialog.item(IDC_PROGRESS));
    EXPECT_EQ(m_view->m_hStatus, m_dialog.item(IDC_STATUS));
    EXPECT_EQ(m_view->m_hList, m_dialog.item(IDC_REPORT));
    EXPECT_EQ(m_view->m_nRows, 0);
    EXPECT_EQ(m_view->m_nLanguage, ExpectedLanguage());
}

TEST_F(InitMainViewTest, PutsEveryTextInTheUserLanguage) {
    const int lang = ExpectedLanguage();
    EXPECT_EQ(WindowText(m_dialog.get()), TitleText[lang]);
    EXPECT_EQ(WindowText(m_dialog.item(IDC_PROGRESS_LABEL)), ProgressLabelText[lang]);
    const int buttons[] = {IDC_SCAN, IDC_FIX, IDC_ABOUT, IDC_FIX_DESKTOP};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(WindowText(m_dialog.item(buttons[i])), ButtonTexts[lang][i])
            << "button " << i + 1;
    }
    EXPECT_EQ(WindowText(m_dialog.item(IDC_STATUS)), "");
}

TEST_F(InitMainViewTest, LaysOutThreeLeftAlignedColumnsWithFullRowSelect) {
    HWND hList = m_view->m_hList;
    const int lang = ExpectedLanguage();
    const int widths[] = {100, 300, 100};
    HWND hHeader = reinterpret_cast<HWND>(SendMessageA(hList, LVM_GETHEADER, 0, 0));
    EXPECT_EQ(SendMessageA(hHeader, HDM_GETITEMCOUNT, 0, 0), 3);
    for (int i = 0; i < 3; ++i) {
        char text[64];
        memset(text, 0xbd, sizeof(text));
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.pszText = text;
        column.cchTextMax = sizeof(text);
        column.iSubItem = -1;
        ASSERT_TRUE(SendMessageA(hList, LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column)));
        EXPECT_STREQ(column.pszText, ColumnTexts[lang][i]) << "column " << i;
        EXPECT_EQ(column.cx, widths[i]) << "column " << i;
        EXPECT_EQ(column.iSubItem, i);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    }
    const LRESULT exStyle = SendMessageA(hList, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(exStyle & (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES),
              LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
}

TEST_F(InitMainViewTest, SetsTheSmallIconAndFocusesScan) {
    HICON hIcon = reinterpret_cast<HICON>(SendMessageA(m_dialog.get(), WM_GETICON, ICON_SMALL, 0));
    EXPECT_NE(hIcon, nullptr);
    EXPECT_EQ(GetFocus(), m_dialog.item(IDC_SCAN));
}

// --- The program's resources, linked into this test program as into the program ---------

const BYTE* ResourceBytes(LPCSTR name, LPCSTR type, DWORD* size) {
    HRSRC hInfo = FindResourceA(NULL, name, type);
    if (!hInfo) {
        return nullptr;
    }
    *size = SizeofResource(NULL, hInfo);
    return static_cast<const BYTE*>(LockResource(LoadResource(NULL, hInfo)));
}

// Walks a DLGTEMPLATEEX: header, then each item's id and class.
class DialogTemplateReader {
public:
    explicit DialogTemplateReader(const BYTE* p) : m_p(p) {}

    template <typename T>
    T Read() {
        T value;
        memcpy(&value, m_p, sizeof(T));
        m_p += sizeof(T);
        return value;
    }
    // A string, or an ordinal written as "#n".
    std::u16string ReadSzOrOrdinal() {
        if (Peek() == 0xffff) {
            Read<WORD>();
            return u"#" + ToU16(std::to_string(Read<WORD>()));
        }
        std::u16string text;
        for (char16_t c = Read<char16_t>(); c; c = Read<char16_t>()) {
            text += c;
        }
        return text;
    }
    void AlignDword(const BYTE* base) {
        while ((m_p - base) % 4) {
            ++m_p;
        }
    }

private:
    WORD Peek() const {
        WORD value;
        memcpy(&value, m_p, sizeof(value));
        return value;
    }
    static std::u16string ToU16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

    const BYTE* m_p;
};

TEST(Resources, MainDialogTemplateHasItsFontAndControlsInTabOrder) {
    DWORD size = 0;
    const BYTE* base = ResourceBytes(MAKEINTRESOURCEA(IDD_MAIN), MAKEINTRESOURCEA(5), &size);
    ASSERT_NE(base, nullptr);
    DialogTemplateReader reader(base);
    EXPECT_EQ(reader.Read<WORD>(), 1);       // dlgVer
    EXPECT_EQ(reader.Read<WORD>(), 0xffff);  // signature: an extended template
    reader.Read<DWORD>();                    // helpID
    reader.Read<DWORD>();                    // exStyle
    const DWORD style = reader.Read<DWORD>();
    const DWORD wanted = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME |
                         DS_CENTER | DS_SETFONT;
    EXPECT_EQ(style, wanted);
    const WORD items = reader.Read<WORD>();
    EXPECT_EQ(reader.Read<short>(), 0);
    EXPECT_EQ(reader.Read<short>(), 0);
    EXPECT_EQ(reader.Read<short>(), 338);
    EXPECT_EQ(reader.Read<short>(), 249);
    EXPECT_EQ(reader.ReadSzOrOrdinal(), u"");  // menu
    EXPECT_EQ(reader.ReadSzOrOrdinal(), u"");  // class
    EXPECT_EQ(reader.ReadSzOrOrdinal(), u"");  // caption, set when the dialog starts
    EXPECT_EQ(reader.Read<WORD>(), 9);         // point size
    reader.Read<WORD>();                       // weight
    reader.Read<WORD>();                       // italic, charset
    EXPECT_EQ(reader.ReadSzOrOrdinal(), u"\u5b8b\u4f53");

    const int ids[] = {-1, 1001, 1000, 1, 2, 3, 4, -1, 1002, 1003, 1009};
    ASSERT_EQ(items, std::size(ids));
    std::u16string lastClass;
    for (int id : ids) {
        reader.AlignDword(base);
        reader.Read<DWORD>();  // helpID
        reader.Read<DWORD>();  // exStyle
        const DWORD itemStyle = reader.Read<DWORD>();
        EXPECT_EQ(itemStyle & (WS_CHILD | WS_VISIBLE), DWORD(WS_CHILD | WS_VISIBLE)) << id;
        for (int i = 0; i < 4; ++i) {
            reader.Read<short>();
        }
        EXPECT_EQ(reader.Read<int>(), id);
        lastClass = reader.ReadSzOrOrdinal();
        const std::u16string text = reader.ReadSzOrOrdinal();
        if (id == -1 && (itemStyle & SS_TYPEMASK) == SS_BITMAP) {
            EXPECT_EQ(text, u"#111");
        }
        EXPECT_EQ(reader.Read<WORD>(), 0) << "creation data in item " << id;
    }
    EXPECT_EQ(lastClass, u"{8856F961-340A-11D0-A96B-00C04FD705A2}");
}

TEST(Resources, BannerBitmapIs402By102With8BitsAndAPalette) {
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(MAKEINTRESOURCEA(IDB_BANNER), MAKEINTRESOURCEA(2), &size);
    ASSERT_NE(bytes, nullptr);
    BITMAPINFOHEADER header;
    memcpy(&header, bytes, sizeof(header));
    EXPECT_EQ(header.biWidth, 402);
    EXPECT_EQ(header.biHeight, 102);
    EXPECT_EQ(header.biBitCount, 8);
    EXPECT_EQ(header.biCompression, DWORD(BI_RGB));
    EXPECT_GT(header.biClrUsed, 0u);
    EXPECT_LE(header.biClrUsed, 256u);
    // Palette and rows, each padded to 4 bytes.
    EXPECT_EQ(size, header.biSize + 4 * header.biClrUsed + 404 * 102);

    HBITMAP hBitmap =
        static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDB_BANNER),
                                        IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    ASSERT_NE(hBitmap, nullptr);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectA(hBitmap, sizeof(dib), &dib), int(sizeof(dib)));
    EXPECT_EQ(dib.dsBm.bmWidth, 402);
    EXPECT_EQ(dib.dsBm.bmHeight, 102);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 8);
    DeleteObject(hBitmap);
}

TEST(Resources, IconGroupsHoldTheirSizesAndDepths) {
#pragma pack(push, 2)
    struct GroupEntry {
        BYTE width, height, colours, reserved;
        WORD planes, bitCount;
        DWORD bytes;
        WORD id;
    };
#pragma pack(pop)
    struct Case {
        int group;
        std::vector<std::pair<int, int>> formats;  // (pixels, bits per pixel)
    };
    const Case cases[] = {
        {IDI_PROGRAM, {{16, 4}, {16, 8}, {16, 32}, {32, 4}, {32, 8}, {32, 32}, {48, 8}, {48, 32}}},
        {IDI_SMALL, {{16, 4}, {16, 8}, {16, 32}}},
        {IDI_ABOUT, {{32, 32}}},
    };
    for (const Case& c : cases) {
        DWORD size = 0;
        const BYTE* bytes = ResourceBytes(MAKEINTRESOURCEA(c.group), MAKEINTRESOURCEA(14), &size);
        ASSERT_NE(bytes, nullptr) << c.group;
        WORD count;
        memcpy(&count, bytes + 4, sizeof(count));
        ASSERT_EQ(count, c.formats.size()) << c.group;
        std::vector<std::pair<int, int>> formats;
        for (WORD i = 0; i < count; ++i) {
            GroupEntry entry;
            memcpy(&entry, bytes + 6 + i * sizeof(entry), sizeof(entry));
            EXPECT_EQ(entry.width, entry.height);
            formats.emplace_back(entry.width, entry.bitCount);
        }
        EXPECT_EQ(formats, c.formats) << c.group;
    }

    HICON hIcon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(hIcon, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(hIcon, &info));
    BITMAP colour = {};
    GetObjectA(info.hbmColor, sizeof(colour), &colour);
    EXPECT_EQ(colour.bmWidth, 16);
    EXPECT_EQ(colour.bmHeight, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(hIcon);
}

TEST(Resources, ManifestAsksForAdministratorAndCommonControls6) {
    DWORD size = 0;
    const BYTE* bytes = ResourceBytes(MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24), &size);
    ASSERT_NE(bytes, nullptr);
    const std::string manifest(reinterpret_cast<const char*>(bytes), size);
    EXPECT_NE(manifest.find("level=\"requireAdministrator\""), std::string::npos);

    // The manifest is in force: the list view and progress bar the other tests use come from
    // the side-by-side version 6 (Wine's copy reports version 5.81, so look at its folder).
    HMODULE hComctl = NULL;
    ASSERT_TRUE(GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCSTR>(&InitCommonControlsEx), &hComctl));
    char buffer[MAX_PATH] = "";
    GetModuleFileNameA(hComctl, buffer, MAX_PATH);
    std::string path = buffer;
    for (char& c : path) {
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_NE(path.find("common-controls"), std::string::npos) << path;
}

}  // namespace
}  // namespace brenvik
