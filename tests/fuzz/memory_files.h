// Datafiles held in memory for the fuzz targets.
//
// A target that links memory_files.cpp replaces the reader's file access
// (reader/file.cpp, the one place where the reader calls the operating
// system) with reads from images kept here: a generated database is loaded
// once, and each input patches a block of an image and puts it back, so an
// input costs the reader's work and no file I/O. Paths that were not loaded
// do not open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quillon::fuzz {

// Loads every regular file of a folder into memory under its path as a
// listing of the folder gives it; false when a file cannot be read.
bool LoadFolder(const std::string& folder);

// The image of a loaded file; nullptr when none was loaded under the path.
std::vector<std::uint8_t>* FileImage(const std::string& path);

// Replaces bytes [offset, offset + size) of an image with data (size bytes)
// and puts the old bytes back when it goes out of scope.
class PatchedBytes {
 public:
  PatchedBytes(std::vector<std::uint8_t>& image, std::size_t offset, const std::uint8_t* data, std::size_t size);
  ~PatchedBytes();
  PatchedBytes(const PatchedBytes&) = delete;
  PatchedBytes& operator=(const PatchedBytes&) = delete;

 private:
  std::vector<std::uint8_t>& image_;
  std::size_t offset_;
  std::vector<std::uint8_t> saved_;
};

}  // namespace quillon::fuzz
