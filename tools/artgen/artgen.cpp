// Draws Quorvex's pictures and writes them as Windows files into the folder it is given:
//   artgen <folder>
// The output depends on nothing but the pictures' descriptions (src/resources/art.cpp), so the
// committed files can be checked against them.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "resources/art.h"
#include "winfiles.h"

namespace {

void Save(const std::filesystem::path& file, const art::Bytes& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + file.string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output folder>\n", argv[0]);
    return 2;
  }
  try {
    std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    std::vector<art::Masked> icons;
    for (int size : art::kIconSizes) icons.push_back(art::AppIcon(size));
    std::vector<art::Pointer> pointers;
    for (int size : art::kCursorSizes) pointers.push_back(art::HandCursor(size));
    Save(out / "AppIcon.ico", art::Ico24(icons));
    Save(out / "Help.bmp", art::Bmp24(art::Help()));
    Save(out / "HandCursor.cur", art::Cur1(pointers));
    Save(out / "ErrorBox.bmp", art::Bmp8(art::ErrorBox()));
    Save(out / "LogoBanner.bmp", art::Bmp24(art::LogoBanner()));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "artgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
