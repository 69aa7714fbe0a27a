// What the exe carries: its version block, and the error-box picture drawn where the input box
// sits in it, compared pixel by pixel with the picture file; at other resolutions, the pictures
// drawn larger, with the input box still in the error box's field.
#include <string>

#include "driver.h"
#include "fixture.h"

namespace e2e {
namespace {

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name) {
  wchar_t* value = nullptr;
  UINT length = 0;
  const std::wstring key = std::wstring(L"\\StringFileInfo\\040904b0\\") + name;
  if (!VerQueryValueW(block.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) || !value) return L"(none)";
  return value;
}

TEST(Resources, VersionBlockNamesTheProgram) {
  const std::wstring exe = ProgramPath();
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  ASSERT_FALSE(block.empty()) << "no version block in " << std::string(exe.begin(), exe.end());
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));

  const std::pair<const wchar_t*, const wchar_t*> strings[] = {
      {L"ProductName", L"Quorvex"},
      {L"InternalName", L"Quorvex"},
      {L"OriginalFilename", L"Quorvex.exe"},
      {L"FileDescription", L"Describes MS Windows error codes"},
      {L"Comments", L"Describes MS Windows error codes"},
      {L"FileVersion", L"1.00"},
      {L"ProductVersion", L"1.00"},
  };
  for (const auto& [name, expected] : strings) EXPECT_EQ(VersionString(block, name), expected) << std::wstring(name).size();

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);

  DWORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(LOWORD(*translation), 0x0409) << "English (United States)";
}

// A pixel of the screen, and one of a picture file.
COLORREF ScreenPixel(HWND window, POINT client) {
  ClientToScreen(window, &client);
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, client.x, client.y);
  ReleaseDC(nullptr, screen);
  return colour;
}

class Picture {
 public:
  explicit Picture(const std::wstring& path)
      : bitmap_(static_cast<HBITMAP>(LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE))),
        dc_(CreateCompatibleDC(nullptr)) {
    if (bitmap_) old_ = SelectObject(dc_, bitmap_);
  }
  ~Picture() {
    if (bitmap_) SelectObject(dc_, old_);
    DeleteDC(dc_);
    if (bitmap_) DeleteObject(bitmap_);
  }
  bool Loaded() const { return bitmap_ != nullptr; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HBITMAP bitmap_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

std::wstring ResourcePath(const wchar_t* name) {
  std::wstring folder = Widen(QUORVEX_RESOURCES);
  if (!folder.empty() && folder[0] == L'/') folder = L"Z:" + folder;
  return folder + L"\\" + name;
}

using Screenshot = AppTest;

TEST_F(Screenshot, InputBoxSitsInTheErrorBoxPictureBesideItsLabel) {
  Picture errorBox(ResourcePath(L"ErrorBox.bmp"));
  ASSERT_TRUE(errorBox.Loaded());
  ASSERT_TRUE(app.Start(folder));
  HWND main = app.Main();
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
  ASSERT_FALSE(SettledPixels(main).empty());
  const POINT picture{12, 200};  // the picture's place in the window, in pixels at 96 dpi

  // Just left of the input box (window x 183): the picture's body, from the picture.
  const COLORREF left = ScreenPixel(main, {183, 280});
  EXPECT_EQ(left, errorBox.At(183 - picture.x, 280 - picture.y));
  EXPECT_EQ(left, RGB(192, 192, 192));

  // "Error Code Number:", columns 68 to 158 and rows 80 to 88 of the picture, pixel for pixel.
  int differing = 0, dark = 0;
  for (int y = 80; y <= 88; ++y)
    for (int x = 68; x <= 158; ++x) {
      const COLORREF expected = errorBox.At(x, y);
      if (ScreenPixel(main, {picture.x + x, picture.y + y}) != expected) ++differing;
      if (GetRValue(expected) < 64) ++dark;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(dark, 50) << "the label's letters are there to compare";

  // The input box lies over the picture's empty field (columns 172 to 292, rows 72 to 90).
  RECT input = PlaceInParent(app.Control(kInput));
  EXPECT_GE(input.left, picture.x + 172);
  EXPECT_LE(input.right, picture.x + 293);
  EXPECT_GE(input.top, picture.y + 72);
  EXPECT_LE(input.bottom, picture.y + 91);
}

// Places in the main window's client area, in pixels at 96 dpi (right and bottom exclusive).
struct PictureRow {
  int id;
  RECT place;
  RECT ink;               // where the picture is not the window's colour, in its own pixels
  COLORREF bottomRight;   // the picture's own colour there, CLR_INVALID where it is the window's
};

TEST_F(Screenshot, PicturesAreDrawnAtTheScreensScaleWithTheInputBoxInTheField) {
  const COLORREF window = RGB(192, 188, 192), body = RGB(192, 192, 192);
  const PictureRow pictures[] = {
      {kHelp, {368, 240, 400, 272}, {1, 1, 31, 31}, CLR_INVALID},
      {kPicture, {12, 200, 330, 306}, {0, 0, 318, 106}, RGB(0, 0, 0)},
  };
  for (const int dpi : {96, 120, 144, 192}) {
    SCOPED_TRACE(testing::Message() << dpi << " dpi");
    auto scaled = [dpi](LONG v) { return MulDiv(v, dpi, 96); };
    auto closeTo = [&](const RECT& got, const RECT& design, POINT origin) {
      return std::abs(got.left - origin.x - scaled(design.left)) <= 1 &&
             std::abs(got.top - origin.y - scaled(design.top)) <= 1 &&
             std::abs(got.right - origin.x - scaled(design.right)) <= 1 &&
             std::abs(got.bottom - origin.y - scaled(design.bottom)) <= 1;
    };
    ScreenDpi screen(static_cast<DWORD>(dpi));
    App run;
    ASSERT_TRUE(run.Start(folder));
    HWND main = run.Main();
    RECT outer{};
    GetWindowRect(main, &outer);
    ASSERT_TRUE(outer.left >= 0 && outer.top >= 0 && outer.right <= GetSystemMetrics(SM_CXSCREEN) &&
                outer.bottom <= GetSystemMetrics(SM_CYSCREEN))
        << "the screen is too small for the window";
    // The pointer away from the window, so that no tip shows over the pictures.
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == main; }));
    const ClientPixels shot(main);
    ASSERT_FALSE(shot.pixels.empty());

    for (const PictureRow& row : pictures) {
      SCOPED_TRACE(testing::Message() << "picture " << row.id);
      // The control is as large as the picture drawn in it, and the picture fills it: no band of
      // fill around it.
      const RECT place = PlaceInParent(run.Control(row.id));
      EXPECT_TRUE(closeTo(place, row.place, {0, 0}))
          << place.left << "," << place.top << " to " << place.right << "," << place.bottom;
      const RECT ink = shot.InkBox({place.left - 4, place.top - 4, place.right + 4, place.bottom + 4}, window);
      EXPECT_TRUE(closeTo(ink, row.ink, {place.left, place.top}))
          << "drawn from " << ink.left << "," << ink.top << " to " << ink.right << "," << ink.bottom;
      if (row.bottomRight != CLR_INVALID) {
        EXPECT_EQ(shot.At(place.right - 1, place.bottom - 1), row.bottomRight);
      }
    }

    // The input box lies inside the field (the picture's columns 172 to 292, rows 72 to 90), and
    // covers all of it: only the picture's body shows right around it.
    const RECT picture = PlaceInParent(run.Control(kPicture));
    const RECT field{picture.left + scaled(172), picture.top + scaled(72), picture.left + scaled(293),
                     picture.top + scaled(91)};
    const RECT input = PlaceInParent(run.Control(kInput));
    EXPECT_TRUE(input.left >= field.left && input.top >= field.top && input.right <= field.right &&
                input.bottom <= field.bottom)
        << "input box " << input.left << "," << input.top << " to " << input.right << "," << input.bottom
        << ", field " << field.left << "," << field.top << " to " << field.right << "," << field.bottom;
    int other = 0;
    for (int x = input.left - 1; x <= input.right; ++x)
      other += (shot.At(x, input.top - 1) != body) + (shot.At(x, input.bottom) != body);
    for (int y = input.top; y < input.bottom; ++y)
      other += (shot.At(input.left - 1, y) != body) + (shot.At(input.right, y) != body);
    EXPECT_EQ(other, 0) << "pixels around the input box that are not the error box's body";
  }
}

}  // namespace
}  // namespace e2e
