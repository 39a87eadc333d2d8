// Whether a file can be a program's text at all: missing files, folders, binary data and the scientific
// data formats that share the ".nc" extension are refused before they are read as lines.
#pragma once

#include <string>
#include <string_view>

enum class FileKind { Text, Missing, Folder, Unreadable, Binary, NetCdf, Hdf5 };

struct FileVerdict {
  FileKind kind = FileKind::Text;
  std::string message;  // what is wrong with the file, naming its path; "" for Text
  bool isText() const { return kind == FileKind::Text; }
};

// How many bytes from the start of a file its kind is judged by.
inline constexpr std::size_t kKindSampleBytes = 64 * 1024;

// The kind of content whose first bytes are `head` (at most kKindSampleBytes of it are looked at): NetCDF or
// HDF5 by their signatures, Binary when control bytes are more than a sixteenth of it, else Text.
FileKind contentKindOf(std::string_view head);
// The message that refuses a file of `kind` at `path`; "" for Text.
std::string refusalMessage(FileKind kind, const std::string& path);
// Looks at the file at `path`: whether it is there, a folder, readable, and what its first bytes are.
FileVerdict judgeProgramFile(const std::string& path);
