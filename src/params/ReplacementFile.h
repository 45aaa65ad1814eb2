#pragma once

#include <functional>
#include <string>
#include <sys/types.h>

// A new version of a file, written beside it and put in its place in one step, so that the
// file holds either its old content or the whole new one, whatever happens on the way. A
// symbolic link is followed: the file it names gets the new content and the link stays a link.
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
    // but is no regular file or may not be written, or when its folder takes no new file.
    bool Open(const std::string& path);

    // The temporary file that receives the new content, open for writing; -1 before `Open`.
    int Descriptor() const { return m_fd; }

    // Gives the new content the old file's permissions (and its owner, where that is allowed),
    // puts it on disk and then in the file's place. False on any failure: the file then keeps
    // its old content and the temporary file is gone.
    bool Commit(const BeforeReplace& beforeReplace = {});

private:
    bool MatchOldFile();
    void Discard();

    std::string m_target;
    std::string m_temporaryPath;
    int m_fd = -1;
    bool m_replacesFile = false;
    mode_t m_mode = 0;
    uid_t m_owner = 0;
    gid_t m_group = 0;
};
