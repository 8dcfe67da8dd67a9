#pragma once
// A whole file read through the memory map, without a system call per page.
// Another program may shorten the file while it is mapped; a page the file
// no longer has then reads as zeros, instead of the system stopping the
// process with SIGBUS, and the view remembers it (torn()). The reader of the
// bytes must therefore treat them as untrusted and look at the file again
// when they make no sense.

#include <QtGlobal>

#include <memory>

namespace bw::files {

class MappedFile
{
public:
    // Maps the open regular file `fd` (the view keeps no descriptor); null
    // when it cannot be mapped (empty, too large, no room for more views).
    static std::shared_ptr<MappedFile> map(int fd);
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;

    unsigned char *data() const { return m_data; }
    qint64 size() const { return m_size; }
    // True once a page was read past the end of the file.
    bool torn() const;
    // Gives the pages read so far back to the system, which still holds them
    // in its file cache: the process's resident memory does not grow with
    // the file. The bytes stay readable.
    void releasePages() const;
    // The same for the whole pages between offsets `from` and `to`.
    void releasePages(qint64 from, qint64 to) const;

private:
    MappedFile(unsigned char *data, qint64 size, int slot);

    unsigned char *m_data;
    qint64 m_size;
    int m_slot; // in the table the SIGBUS handler looks up
};

} // namespace bw::files
