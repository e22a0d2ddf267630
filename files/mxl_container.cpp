#include "files/mxl_container.h"

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace kelvara {

namespace {

constexpr const char* kMimeType = "application/vnd.recordare.musicxml";
constexpr const char* kScoreEntry = "score.musicxml";
constexpr const char* kContainer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<container>\n"
    "  <rootfiles>\n"
    "    <rootfile full-path=\"score.musicxml\" "
    "media-type=\"application/vnd.recordare.musicxml+xml\"/>\n"
    "  </rootfiles>\n"
    "</container>\n";

struct ArchiveCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

struct SourceFree {
  void operator()(zip_source_t* s) const { zip_source_free(s); }
};
using Source = std::unique_ptr<zip_source_t, SourceFree>;

struct FileCloser {
  void operator()(zip_file_t* f) const { zip_fclose(f); }
};

std::string errorText(zip_error_t& error) {
  std::string text = zip_error_strerror(&error);
  zip_error_fini(&error);
  return text;
}

// Opens an archive over bytes that stay the caller's.
Archive openArchive(std::span<const uint8_t> bytes, std::string& error) {
  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &ze);
  if (source == nullptr) {
    error = errorText(ze);
    return nullptr;
  }
  zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &ze);
  if (archive == nullptr) {
    zip_source_free(source);
    error = "zip: " + errorText(ze);
    return nullptr;
  }
  zip_error_fini(&ze);
  return Archive(archive);
}

// `level` 0 stores the entry; 1..9 deflate it (1 fastest).
bool addEntry(zip_t* archive, const char* name, const std::string& data, zip_uint32_t level) {
  zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
  if (source == nullptr) return false;
  const zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    return false;
  }
  return zip_set_file_compression(archive, static_cast<zip_uint64_t>(index),
                                  level == 0 ? ZIP_CM_STORE : ZIP_CM_DEFLATE, level) == 0;
}

}  // namespace

std::string packMxl(const std::string& musicXml, std::vector<uint8_t>& out) {
  zip_error_t ze;
  zip_error_init(&ze);
  Source buffer(zip_source_buffer_create(nullptr, 0, 0, &ze));
  if (!buffer) return errorText(ze);
  zip_t* archive = zip_open_from_source(buffer.get(), ZIP_TRUNCATE, &ze);
  if (archive == nullptr) return errorText(ze);
  zip_error_fini(&ze);
  // The archive frees its source when it closes; the bytes are wanted after.
  zip_source_keep(buffer.get());
  const std::string mime = kMimeType, container = kContainer;
  // Readers find the kind in the first entry, stored uncompressed.
  // The score deflates at the fastest level: MusicXML repeats itself so
  // much that this still packs it to about a twentieth, in half the time
  // of the default level.
  if (!addEntry(archive, "mimetype", mime, 0) ||
      !addEntry(archive, "META-INF/container.xml", container, 6) ||
      !addEntry(archive, kScoreEntry, musicXml, 1)) {
    const std::string error = zip_strerror(archive);
    zip_discard(archive);
    return error;
  }
  if (zip_close(archive) != 0) {
    const std::string error = zip_strerror(archive);
    zip_discard(archive);
    return error;
  }
  if (zip_source_open(buffer.get()) != 0) return "zip: cannot read the archive back";
  zip_source_seek(buffer.get(), 0, SEEK_END);
  const zip_int64_t size = zip_source_tell(buffer.get());
  zip_source_seek(buffer.get(), 0, SEEK_SET);
  out.resize(static_cast<size_t>(std::max<zip_int64_t>(size, 0)));
  const zip_int64_t got = zip_source_read(buffer.get(), out.data(), out.size());
  zip_source_close(buffer.get());
  if (got != size) return "zip: cannot read the archive back";
  return {};
}

std::string listZipEntries(std::span<const uint8_t> bytes, size_t maxEntries,
                           std::vector<std::string>& names) {
  std::string error;
  Archive archive = openArchive(bytes, error);
  if (!archive) return error;
  const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
  if (count < 0 || static_cast<uint64_t>(count) > maxEntries) {
    return "zip: " + std::to_string(count) + " entries";
  }
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), 0);
    if (name != nullptr) names.emplace_back(name);
  }
  return {};
}

std::string readZipEntryInPieces(std::span<const uint8_t> bytes, const std::string& name,
                                 size_t maxBytes,
                                 const std::function<void(std::string_view)>& sink) {
  std::string error;
  Archive archive = openArchive(bytes, error);
  if (!archive) return error;
  std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen(archive.get(), name.c_str(), 0));
  if (!file) return "zip: " + name + ": " + zip_strerror(archive.get());
  // The sizes the archive states are not trusted: reading stops past the limit.
  std::vector<char> chunk(size_t{1} << 18);
  size_t total = 0;
  for (;;) {
    const zip_int64_t got = zip_fread(file.get(), chunk.data(), chunk.size());
    if (got < 0) return "zip: " + name + ": " + zip_file_strerror(file.get());
    if (got == 0) break;
    total += static_cast<size_t>(got);
    if (total > maxBytes) {
      return "zip: " + name + " is larger than " + std::to_string(maxBytes >> 20) + " MB";
    }
    sink(std::string_view(chunk.data(), static_cast<size_t>(got)));
  }
  return {};
}

std::string readZipEntry(std::span<const uint8_t> bytes, const std::string& name, size_t maxBytes,
                         std::string& out) {
  out.clear();
  return readZipEntryInPieces(bytes, name, maxBytes,
                              [&](std::string_view piece) { out.append(piece); });
}

}  // namespace kelvara
