// TEMPORARY STUB: replaced by the real implementation.
#include "platform/faulty_fs.h"
namespace vortena {
void FaultyFileSystem::failOn(FsOperation, std::string, int, int) {}
FsStatus FaultyFileSystem::openRead(const std::string& p, std::unique_ptr<TextReader>& o) { return inner_.openRead(p, o); }
FsStatus FaultyFileSystem::openWrite(const std::string& p, std::unique_ptr<TextWriter>& o) { return inner_.openWrite(p, o); }
FsStatus FaultyFileSystem::copyFile(const std::string& a, const std::string& b) { return inner_.copyFile(a, b); }
FsStatus FaultyFileSystem::rename(const std::string& a, const std::string& b) { return inner_.rename(a, b); }
FsStatus FaultyFileSystem::makeFolder(const std::string& p) { return inner_.makeFolder(p); }
FsStatus FaultyFileSystem::listFolder(const std::string& p, std::vector<DirEntry>& o) { return inner_.listFolder(p, o); }
FsStatus FaultyFileSystem::folderIdentity(const std::string& p, DirEntry& o) { return inner_.folderIdentity(p, o); }
FsStatus FaultyFileSystem::changeFolder(const std::string& p) { return inner_.changeFolder(p); }
FsStatus FaultyFileSystem::changeDrive(char l) { return inner_.changeDrive(l); }
std::string FaultyFileSystem::currentFolder() const { return inner_.currentFolder(); }
int FaultyFileSystem::injected(FsOperation, const std::string&) { return 0; }
}  // namespace vortena
