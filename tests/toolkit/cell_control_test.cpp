// The self-drawn cell: background, vertical centring, alignment and fonts, checked on the
// pixels it leaves in its window; and the Drawing pass it paints with.
#include <algorithm>
#include <memory>
#include <string>

#include "tests/toolkit/ToolkitFixture.h"
#include "toolkit/CellControl.h"
#include "toolkit/Drawing.h"
#include "toolkit/Form.h"

namespace toolkit_test {
namespace {

using namespace TekuUtility;
namespace pf = platform;
namespace hl = platform::headless;

constexpr COLORREF kGreen = 0x0000FF00;  // COLORREF and 0xRRGGBB alike
constexpr COLORREF kBlack = 0;
constexpr int kCellWidth = 200;
constexpr int kCellHeight = 30;

// The columns and rows where the cell shows text pixels (green over black).
struct InkBox {
    int left = -1, right = -1, top = -1, bottom = -1;
    bool Empty() const { return left < 0; }
};

class CellControlTest : public ToolkitTest {
  protected:
    void SetUp() override {
        form = std::make_unique<Form>(nullptr);
        form->Create();
        form->SetClientSize(400, 200);
        cell = std::make_unique<CellControl>(form.get());
        cell->SetSize(kCellWidth, kCellHeight);
        cell->SetLocation(0, 0);
        cell->textColor = kGreen;
    }

    void CreateOnBlack(const std::string& content) {
        cell->SetText(content);
        cell->Create();
        cell->SetBackColor(kBlack);
        hl::RunUntilIdle();
    }

    InkBox Ink() const {
        InkBox box;
        for (int y = 0; y < kCellHeight; ++y) {
            for (int x = 0; x < kCellWidth; ++x) {
                const std::uint32_t pixel = hl::ClientPixel(cell->handle, x, y);
                const int red = (pixel >> 16) & 0xFF;
                const int green = (pixel >> 8) & 0xFF;
                const int blue = pixel & 0xFF;
                if (green > 96 && red < 96 && blue < 96) {
                    box.left = box.left < 0 ? x : std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = box.top < 0 ? y : std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
            }
        }
        return box;
    }

    // The width and height the platform gives the text in the font.
    pf::SIZE Extent(Font& textFont, const std::wstring& content) const {
        HDC dc = pf::GetDC(cell->handle);
        pf::HGDIOBJ old = pf::SelectObject(dc, textFont.GetHandle());
        pf::SIZE size{};
        pf::GetTextExtentPoint32W(dc, content.c_str(), static_cast<int>(content.size()), &size);
        pf::SelectObject(dc, old);
        pf::ReleaseDC(cell->handle, dc);
        return size;
    }

    std::unique_ptr<Form> form;
    std::unique_ptr<CellControl> cell;
};

TEST_F(CellControlTest, TextIsCentredVerticallyAndAlignedAsAsked) {
    CreateOnBlack("HHHH");
    Font cellFont("Tahoma", 14);
    const int textWidth = Extent(cellFont, L"HHHH").cx;
    for (int align :
         {CellControl::kAlignLeft, CellControl::kAlignCenter, CellControl::kAlignRight}) {
        SCOPED_TRACE(align);
        cell->textAlign = align;
        pf::InvalidateRect(cell->handle, nullptr, pf::TRUE);
        hl::RunUntilIdle();
        const InkBox ink = Ink();
        ASSERT_FALSE(ink.Empty());
        EXPECT_LE(std::abs(ink.top - (kCellHeight - 1 - ink.bottom)), 5);
        if (align == CellControl::kAlignLeft) {
            EXPECT_LE(ink.left, 2);
        } else if (align == CellControl::kAlignRight) {
            EXPECT_GE(ink.right, kCellWidth - 4);
        } else {
            EXPECT_NEAR(ink.left, (kCellWidth - textWidth) / 2, 3);
            EXPECT_NEAR((ink.left + ink.right) / 2, kCellWidth / 2, 3);
        }
    }
}

TEST_F(CellControlTest, TallerTextIsClippedAtTheTopAndTheElementFontOverridesTheCellFont) {
    // A 60-pixel font in a 30-pixel cell starts above the cell: the ink reaches row 0.
    cell->cellFontHeight = 60;
    cell->textAlign = CellControl::kAlignLeft;
    CreateOnBlack("H");
    InkBox ink = Ink();
    ASSERT_FALSE(ink.Empty());
    EXPECT_EQ(ink.top, 0);
    EXPECT_EQ(ink.bottom, kCellHeight - 1);

    // The element's 26-pixel font wins over the 8-pixel cell font, at its measured width.
    Font large("Tahoma", 26);
    cell->font = &large;
    cell->cellFontHeight = 8;
    cell->SetText(std::string("HH"));
    hl::RunUntilIdle();
    ink = Ink();
    ASSERT_FALSE(ink.Empty());
    EXPECT_GE(ink.bottom - ink.top + 1, 14);
    EXPECT_NEAR(ink.right + 1, Extent(large, L"HH").cx, 3);
}

TEST_F(CellControlTest, EmptyTextDrawsOnlyTheBackgroundAndSettingTheTextRepaints) {
    static int paints = 0;
    paints = 0;
    cell->Paint = [](GUIElement*) { ++paints; };
    cell->OnPaint();  // no window yet: only Paint is raised
    EXPECT_EQ(paints, 1);
    CreateOnBlack("");
    EXPECT_GE(paints, 2);
    for (int y = 0; y < kCellHeight; y += 3) {
        for (int x = 0; x < kCellWidth; x += 7) {
            ASSERT_EQ(hl::ClientPixel(cell->handle, x, y), 0u) << x << "," << y;
        }
    }
    cell->SetText(std::string("HH"));
    hl::RunUntilIdle();
    EXPECT_FALSE(Ink().Empty());
    cell->SetText(std::wstring());
    hl::RunUntilIdle();
    EXPECT_TRUE(Ink().Empty());
}

TEST_F(CellControlTest, DrawingFillsAndEndsOnce) {
    CreateOnBlack("");
    pf::InvalidateRect(cell->handle, nullptr, pf::FALSE);  // a paint pass draws what is invalid
    Drawing drawing(cell.get());
    drawing.Begin();
    ASSERT_NE(drawing.deviceContext, nullptr);
    drawing.FillRectangle(10, 5, 20, 10, 0x000000FF);  // red
    EXPECT_GT(drawing.TextHeight(nullptr), 0);
    drawing.End();
    drawing.End();
    EXPECT_EQ(drawing.deviceContext, nullptr);
    EXPECT_EQ(hl::ClientPixel(cell->handle, 10, 5), 0xFF0000u);
    EXPECT_EQ(hl::ClientPixel(cell->handle, 29, 14), 0xFF0000u);
    EXPECT_EQ(hl::ClientPixel(cell->handle, 30, 15), 0u);

    // With no device context every operation does nothing.
    drawing.FillRectangle(0, 0, 5, 5, 0x000000FF);
    drawing.DrawText(0, 0, 0, 0, std::string("x"), 0, kGreen, nullptr);
    EXPECT_EQ(drawing.TextHeight(nullptr), 0);
    EXPECT_EQ(hl::ClientPixel(cell->handle, 1, 1), 0u);

    // Very long texts are cut; a text without a size is drawn at its point.
    pf::InvalidateRect(cell->handle, nullptr, pf::FALSE);
    drawing.Begin();
    drawing.DrawText(0, 0, 0, 0, std::wstring(5000, L'H'), 0, kGreen, nullptr);
    drawing.DrawText(0, 0, kCellWidth, kCellHeight, std::wstring(5000, L'H'), 2, kGreen, nullptr);
    drawing.End();
    EXPECT_FALSE(Ink().Empty());
}

}  // namespace
}  // namespace toolkit_test
