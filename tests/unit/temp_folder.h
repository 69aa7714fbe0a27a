// A folder of its own for each test, removed afterwards, with helpers to write files into it.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

class TempFolder {
 public:
  TempFolder() {
    auto base = std::filesystem::temp_directory_path() / "quorvex-unit";
    std::filesystem::create_directories(base);
    std::string pattern = (base / "XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }
  std::wstring WidePath() const { return path_.wstring(); }

  void Write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  void Remove(const std::string& name) const { std::filesystem::remove_all(path_ / name); }
  void MakeFolder(const std::string& name) const { std::filesystem::create_directories(path_ / name); }

 private:
  std::filesystem::path path_;
};
