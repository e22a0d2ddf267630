#include "files/score_file.h"

#include <new>

#include "files/atomic_write.h"
#include "files/track_file.h"
#include "files/zqf3_file.h"

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

LoadResult loadScoreFile(EditorState& s, const std::string& path, int intoPart) {
  const std::string kind = fileExtension(path);
  return kind == ".zqf3" ? loaddataplus2(s, path) : loaddataplus(s, path, kind, intoPart);
}

FileResult writeEncoded(ScoreEncoder encode, const EditorState& s, const std::string& fileName,
                        int32_t fromBar, int32_t toBar) {
  std::vector<uint8_t> bytes;
  try {
    FileResult r = encode(s, fromBar, toBar, fileName, bytes);
    if (!r.ok()) return r;
  } catch (const std::bad_alloc&) {
    return FileResult::failure(FileError::CannotCreate,
                               "ファイル " + fileName + " を作成できません（メモリが足りません）");
  }
  const std::string err = writeFileAtomically(fileName, bytes);
  if (!err.empty()) return FileResult::failure(FileError::CannotCreate, err);
  return {};
}

}  // namespace kelvara
