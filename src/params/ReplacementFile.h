#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// A new version of a file, written beside it and put in its place in one step, so that the
// file holds either its old content or the whole new one, whatever happens on the way. On
// Linux a symbolic link is followed: the file it names gets the new content and the link stays
// a link; the new content keeps the old file's permissions (and its owner, where allowed).
class ReplacementFile {
public:
    // Runs when the new content is complete on disk, right before it takes the file's place;
    // returning false abandons the replacement.
    using BeforeReplace = std::function<bool()>;

    ReplacementFile() = default;
    // Removes the temporary file unless the replacement was made.
    ~ReplacementFile();

    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Prepares to replace `path`. False, with nothing changed anywhere, when the file exists
    // but is no regular file or may not be written (a read-only file is never replaced), or
    // when its folder takes no new file.
    bool Open(const std::string& path);

    // Adds `bytes` to the new content. False when they could not all be written, and before
    // `Open`.
    bool Write(std::string_view bytes);

    // Puts the new content on disk and then in the file's place. False on any failure: the
    // file then keeps its old content and the temporary file is gone.
    bool Commit(const BeforeReplace& beforeReplace = {});

private:
    static constexpr std::intptr_t kNoFile = -1;

    void Discard();

    std::string m_target;
    std::string m_temporaryPath;
    std::intptr_t m_file = kNoFile;  // the temporary file's descriptor or handle
};
