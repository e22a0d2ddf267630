#include "files/score_file.h"

#include <cctype>
#include <new>

#include "files/atomic_write.h"
#include "files/midi_import.h"
#include "files/musicxml_export.h"
#include "files/musicxml_import.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"
#include "score/ui_text.h"

namespace kelvara {

std::string fileExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

bool isScoreFileKind(const std::string& extension) {
  return extension == ".zqf3" || extension == ".zqf2" || extension == ".zqf";
}

bool isMidiFileKind(const std::string& extension) {
  std::string lower = extension;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == ".mid" || lower == ".smf";
}

bool isReadableFileKind(const std::string& extension) {
  return isScoreFileKind(extension) || isMidiFileKind(extension) || isMusicXmlKind(extension);
}

LoadResult loadScoreFile(EditorState& s, const std::string& path, int intoPart) {
  const std::string kind = fileExtension(path);
  if (kind == ".zqf3") return loaddataplus2(s, path);
  if (isMidiFileKind(kind)) return importMidiFile(s, path);
  if (isMusicXmlKind(kind)) return loadMusicXml(s, path);
  return loaddataplus(s, path, kind, intoPart);
}

FileResult writeEncoded(ScoreEncoder encode, const EditorState& s, const std::string& fileName,
                        int32_t fromBar, int32_t toBar) {
  std::vector<uint8_t> bytes;
  try {
    FileResult r = encode(s, fromBar, toBar, fileName, bytes);
    if (!r.ok()) return r;
  } catch (const std::bad_alloc&) {
    return FileResult::failure(
        FileError::CannotCreate,
        fillText(uiText("kelvara::Files", "ファイル %1 を作成できません（メモリが足りません）"),
                 {fileName}));
  }
  const std::string err = writeFileAtomically(fileName, bytes);
  if (!err.empty()) return FileResult::failure(FileError::CannotCreate, err);
  return {};
}

}  // namespace kelvara
