// Drawing: text placement and measurement, rectangles, pictures, fonts and snapshots.
#include <cstdio>
#include <filesystem>

#include "platform/fonts/fonts.h"
#include "tests/platform/win/winsys_fixture.h"

namespace winsys_test {
namespace {

class CanvasTest : public WinsysTest {
  protected:
    void SetUp() override {
        WinsysTest::SetUp();
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateCompatibleBitmap(dc_, 200, 60);
        SelectObject(dc_, bitmap_);
        Clear();
        font_ = CreateFontW(20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_OUTLINE_PRECIS,
                            CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY, 0, L"Arial");
        SelectObject(dc_, font_);
        SetBkMode(dc_, TRANSPARENT);
    }
    void TearDown() override {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
        DeleteObject(font_);
        WinsysTest::TearDown();
    }

    void Clear() {
        RECT all{0, 0, 200, 60};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    // The columns [first, last] that hold non-white pixels, or {-1, -1}.
    std::pair<int, int> InkColumns() {
        std::vector<int> ink;
        for (int x = 0; x < 200; ++x) {
            for (int y = 0; y < 60; ++y) {
                if (GetPixel(dc_, x, y) != RGB(255, 255, 255)) {
                    ink.push_back(x);
                    break;
                }
            }
        }
        return ink.empty() ? std::pair{-1, -1} : std::pair{ink.front(), ink.back()};
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HFONT font_ = nullptr;
};

TEST_F(CanvasTest, PositiveHeightIsTheCellHeight) {
    TEXTMETRICW tm;
    ASSERT_TRUE(GetTextMetricsW(dc_, &tm));
    EXPECT_EQ(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 20);
    EXPECT_GT(tm.tmInternalLeading, 0);
    HFONT em = CreateFontW(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    SelectObject(dc_, em);
    GetTextMetricsW(dc_, &tm);
    EXPECT_GT(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    SelectObject(dc_, font_);
    DeleteObject(em);
}

TEST_F(CanvasTest, CalcRectMeasuresWithoutDrawing) {
    RECT r{10, 5, 10, 5};
    int h = DrawTextW(dc_, L"Kryx Space", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SIZE size;
    GetTextExtentPoint32W(dc_, L"Kryx Space", 10, &size);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right - r.left, size.cx);
    EXPECT_EQ(r.bottom - r.top, 20);
    EXPECT_EQ(InkColumns().first, -1);
    // Several lines, and the prefix character takes no room.
    RECT two{0, 0, 0, 0};
    EXPECT_EQ(DrawTextW(dc_, L"a\r\nbb", -1, &two, DT_CALCRECT), 40);
    RECT amp{0, 0, 0, 0};
    RECT plain{0, 0, 0, 0};
    DrawTextW(dc_, L"&Esci", -1, &amp, DT_CALCRECT | DT_SINGLELINE);
    DrawTextW(dc_, L"Esci", -1, &plain, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(amp.right, plain.right);
    // Word breaks wrap at the width given.
    RECT wrap{0, 0, 60, 0};
    EXPECT_EQ(DrawTextW(dc_, L"uno due tre quattro", -1, &wrap, DT_CALCRECT | DT_WORDBREAK) % 20,
              0);
    EXPECT_GT(wrap.bottom, 20);
    EXPECT_LE(wrap.right, 60);
}

TEST_F(CanvasTest, AlignmentPlacesTheTextInTheRectangleAndClipsItUnlessNoClip) {
    RECT r{0, 0, 200, 30};
    DrawTextW(dc_, L"Ab", -1, &r, DT_LEFT);
    EXPECT_LE(InkColumns().first, 3);
    Clear();
    DrawTextW(dc_, L"Ab", -1, &r, DT_RIGHT);
    auto right = InkColumns();
    EXPECT_GE(right.second, 200 - 4);
    EXPECT_LE(right.second, 199);
    Clear();
    DrawTextW(dc_, L"Ab", -1, &r, DT_CENTER);
    const auto [first, last] = InkColumns();
    EXPECT_NEAR((first + last) / 2, 100, 3);
    Clear();
    RECT narrow{0, 0, 8, 30};
    DrawTextW(dc_, L"WWWW", -1, &narrow, DT_LEFT | DT_SINGLELINE);
    EXPECT_LT(InkColumns().second, 8);
    DrawTextW(dc_, L"WWWW", -1, &narrow, DT_LEFT | DT_SINGLELINE | DT_NOCLIP);
    EXPECT_GT(InkColumns().second, 20);
}

TEST_F(CanvasTest, OpaqueTextFillsItsRectangleAndRectangleWithNullPenFillsOnePixelShort) {
    SetBkColor(dc_, RGB(10, 20, 30));
    RECT r{50, 30, 90, 50};
    ExtTextOutW(dc_, 0, 0, ETO_OPAQUE, &r, L"", 0, nullptr);
    EXPECT_EQ(GetPixel(dc_, 50, 30), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc_, 89, 49), RGB(10, 20, 30));
    EXPECT_EQ(GetPixel(dc_, 90, 50), RGB(255, 255, 255));
    HPEN none = CreatePen(PS_NULL, 1, 0);
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    HGDIOBJ oldPen = SelectObject(dc_, none);
    HGDIOBJ oldBrush = SelectObject(dc_, blue);
    Rectangle(dc_, 10, 10, 20, 20);
    EXPECT_EQ(GetPixel(dc_, 10, 10), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc_, 18, 18), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(dc_, 19, 19), RGB(255, 255, 255));
    // A solid pen with the hollow brush draws only the outline, inside the rectangle.
    HPEN red = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    SelectObject(dc_, red);
    SelectObject(dc_, GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc_, 30, 10, 40, 20);
    EXPECT_EQ(GetPixel(dc_, 30, 10), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc_, 39, 19), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(dc_, 35, 15), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc_, 40, 20), RGB(255, 255, 255));
    SelectObject(dc_, oldPen);
    SelectObject(dc_, oldBrush);
    EXPECT_TRUE(DeleteObject(none));
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_FALSE(DeleteObject(red));
}

TEST_F(CanvasTest, FontFilesFollowTheFaceMapping) {
    std::string arial = FindFontFile("Arial", false, false);
    EXPECT_NE(arial.find("LiberationSans"), std::string::npos) << arial;
    std::string tahoma = FindFontFile("Tahoma", true, false);
    EXPECT_NE(tahoma.find("LiberationSans-Bold"), std::string::npos) << tahoma;
    std::string lucida = FindFontFile("Lucida Console", false, false);
    EXPECT_NE(lucida.find("Mono"), std::string::npos) << lucida;
    EXPECT_FALSE(FindFontFile("NoSuchFaceAtAll", false, false).empty());
}

TEST_F(CanvasTest, ChildrenAndMenuStripAreComposedIntoTheWindowPicture) {
    HWND top = TopLevel(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 10, 10, 320, 240);
    SetWindowTextW(top, L"Kryx Space");
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 1, L"&Gioco");
    SetMenu(top, bar);
    HWND label = Child(top, L"static", 1, SS_CENTER, 10, 10, 120, 30, L"Ciao");
    Child(top, L"Button", 2, 0, 10, 60, 80, 25, L"OK");
    headless::RunUntilIdle();
    EXPECT_GT(headless::PresentCount(top), 0);
    auto image = headless::WindowImage(top);
    ASSERT_TRUE(image.has_value());
    EXPECT_EQ(image->width, 320);
    EXPECT_EQ(image->height, 240);
    // The caption bar is drawn in the caption colour.
    EXPECT_EQ(image->At(160, 10) & 0xFFFFFF, 0x0078D1u);
    // Text of the label left ink inside the label.
    bool ink = false;
    for (int y = 0; y < 30 && !ink; ++y) {
        for (int x = 0; x < 120 && !ink; ++x) {
            ink = headless::ClientPixel(label, x, y) != 0xF0F0F0u;
        }
    }
    EXPECT_TRUE(ink);
}

TEST_F(CanvasTest, BitmapsLoadFromFilesAndReportTheirSize) {
    const Image picture{4, 3, std::vector<std::uint32_t>(12, 0xFF00FF00u)};
    auto path = std::filesystem::temp_directory_path() / "kx_winsys_picture.png";
    ASSERT_TRUE(WritePngFile(path.string(), picture));
    std::wstring wide(path.wstring());
    auto bitmap = static_cast<HBITMAP>(LoadImageW(nullptr, wide.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm;
    ASSERT_EQ(GetObjectW(bitmap, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmWidth, 4);
    EXPECT_EQ(bm.bmHeight, 3);
    HDC src = CreateCompatibleDC(nullptr);
    SelectObject(src, bitmap);
    BitBlt(dc_, 0, 0, 4, 3, src, 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(dc_, 3, 2), RGB(0, 255, 0));
    DeleteDC(src);
    DeleteObject(bitmap);
    std::filesystem::remove(path);
    EXPECT_EQ(LoadImageW(nullptr, L"/no/such/file.bmp", IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(4242), IMAGE_BITMAP, 0, 0, 0),
              nullptr);
}

TEST_F(CanvasTest, ScrollPositionsAreClampedToTheLastFullPage) {
    HWND top = TopLevel();
    HWND panel = Child(top, L"Recorder", 1, WS_VSCROLL, 0, 0, 100, 100);
    SCROLLINFO si{.fMask = SIF_RANGE | SIF_PAGE, .nMax = 100, .nPage = 10};
    SetScrollInfo(panel, SB_VERT, &si, TRUE);
    si.fMask = SIF_POS;
    si.nPos = 500;
    EXPECT_EQ(SetScrollInfo(panel, SB_VERT, &si, TRUE), 91);
    si.nPos = -3;
    EXPECT_EQ(SetScrollInfo(panel, SB_VERT, &si, TRUE), 0);
    SCROLLINFO out{.fMask = SIF_ALL};
    ASSERT_TRUE(GetScrollInfo(panel, SB_VERT, &out));
    EXPECT_EQ(out.nMax, 100);
    EXPECT_EQ(out.nPage, 10u);
    EXPECT_EQ(out.nPos, 0);
    // The bar's arrows and track send the scroll requests to the window.
    RECT wr;
    GetWindowRect(panel, &wr);
    headless::Click(wr.right - 5, wr.bottom - 5);
    headless::Click(wr.right - 5, wr.bottom - 30);
    EXPECT_EQ(Params(panel, WM_VSCROLL),
              (std::vector<WPARAM>{SB_LINEDOWN, SB_ENDSCROLL, SB_PAGEDOWN, SB_ENDSCROLL}));
}

}  // namespace
}  // namespace winsys_test
