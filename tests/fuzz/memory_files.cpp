// ReadOnlyFile over the images of memory_files.h: it takes the place of
// reader/file.cpp in the targets that link this file (the linker then has no
// reason to pull file.cpp's object out of the reader library; should it ever
// need to, the duplicate symbols fail the link).
#include "fuzz/memory_files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "reader/file.h"

namespace quillon::fuzz {

namespace {

std::string Key(const std::string& path) { return std::filesystem::path(path).lexically_normal().string(); }

std::map<std::string, std::vector<std::uint8_t>>& Images() {
  static std::map<std::string, std::vector<std::uint8_t>> images;
  return images;
}

// The images in load order, so that a file descriptor is an index.
std::vector<std::vector<std::uint8_t>*>& Slots() {
  static std::vector<std::vector<std::uint8_t>*> slots;
  return slots;
}

}  // namespace

bool LoadFolder(const std::string& folder) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
    if (!entry.is_regular_file()) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    if (!in) return false;
    auto& image = Images()[Key(entry.path().string())];
    image.assign(std::istreambuf_iterator<char>(in), {});
    Slots().push_back(&image);
  }
  return !ec;
}

std::vector<std::uint8_t>* FileImage(const std::string& path) {
  const auto it = Images().find(Key(path));
  return it == Images().end() ? nullptr : &it->second;
}

PatchedBytes::PatchedBytes(std::vector<std::uint8_t>& image, std::size_t offset, const std::uint8_t* data,
                           std::size_t size)
    : image_(image), offset_(std::min(offset, image.size())) {
  size = std::min(size, image.size() - offset_);
  saved_.assign(image.begin() + static_cast<std::ptrdiff_t>(offset_),
                image.begin() + static_cast<std::ptrdiff_t>(offset_ + size));
  if (size > 0) std::memcpy(image.data() + offset_, data, size);
}

PatchedBytes::~PatchedBytes() { std::copy(saved_.begin(), saved_.end(), image_.begin() + static_cast<std::ptrdiff_t>(offset_)); }

}  // namespace quillon::fuzz

namespace quillon {

ReadOnlyFile::~ReadOnlyFile() = default;

ReadOnlyFile::ReadOnlyFile(ReadOnlyFile&& other) noexcept
    : fd_(other.fd_), size_(other.size_), path_(std::move(other.path_)) {
  other.fd_ = -1;
}

ReadOnlyFile& ReadOnlyFile::operator=(ReadOnlyFile&& other) noexcept {
  if (this != &other) {
    fd_ = other.fd_;
    size_ = other.size_;
    path_ = std::move(other.path_);
    other.fd_ = -1;
  }
  return *this;
}

std::optional<ReadOnlyFile> ReadOnlyFile::Open(const std::string& path) {
  const auto& slots = fuzz::Slots();
  const std::vector<std::uint8_t>* image = fuzz::FileImage(path);
  if (!image) return std::nullopt;
  ReadOnlyFile f;
  f.fd_ = static_cast<int>(std::find(slots.begin(), slots.end(), image) - slots.begin());
  f.size_ = image->size();
  f.path_ = path;
  return f;
}

std::optional<std::size_t> ReadOnlyFile::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (fd_ < 0) return std::nullopt;
  const std::vector<std::uint8_t>& image = *fuzz::Slots()[static_cast<std::size_t>(fd_)];
  if (offset >= image.size()) return 0;
  const std::size_t n = std::min<std::size_t>(out.size(), image.size() - offset);
  std::memcpy(out.data(), image.data() + offset, n);
  return n;
}

void ReadOnlyFile::AdviseSequential() const {}

}  // namespace quillon
