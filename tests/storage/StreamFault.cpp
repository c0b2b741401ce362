#include "storage/StreamFault.h"

#include <fcntl.h>

#include "StreamSeam.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

#ifdef _WIN32
int openDescriptor(const std::string& path, int flags) { return _open(path.c_str(), flags | _O_BINARY); }
bool putInPlaceOf(int descriptor, std::FILE* stream) { return _dup2(descriptor, _fileno(stream)) == 0; }
void closeDescriptor(int descriptor) { _close(descriptor); }
#else
int openDescriptor(const std::string& path, int flags) { return ::open(path.c_str(), flags); }
bool putInPlaceOf(int descriptor, std::FILE* stream) { return dup2(descriptor, fileno(stream)) != -1; }
void closeDescriptor(int descriptor) { close(descriptor); }
#endif

struct Fault {
    std::string otherWay; // a file to open in the direction the stream does not use
    int otherFlags = 0;
    std::uint64_t after = 0;
    bool happened = false;
};

Fault fault;

void breakAfter(std::FILE* stream, std::uint64_t bytesSoFar) {
    if (fault.happened || bytesSoFar < fault.after)
        return;
    int other = openDescriptor(fault.otherWay, fault.otherFlags);
    if (other == -1)
        return;
    fault.happened = putInPlaceOf(other, stream);
    closeDescriptor(other);
}

} // namespace

StreamFault::StreamFault(Direction direction, std::uint64_t after) {
    fault = Fault{scratch_.file("other-way"), direction == reading ? O_WRONLY : O_RDONLY, after, false};
    writeBytes(fault.otherWay, "");
    if (direction == reading)
        streamSeam.beforeRead = breakAfter;
    else
        streamSeam.beforeWrite = breakAfter;
}

StreamFault::~StreamFault() {
    streamSeam = StreamSeam();
    fault = Fault();
}

bool StreamFault::happened() const {
    return fault.happened;
}
