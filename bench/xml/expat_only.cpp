// The ceiling of reading XML with expat as the stream's expat engine does:
// a namespace-resolving parser over the file in 64 KiB reads, with handlers
// for starts, ends, text and the rest that do nothing. Prints the number of
// elements.
#include <expat.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace {

void XMLCALL OnStart(void* data, const XML_Char* /*name*/, const XML_Char** /*attributes*/) {
    ++*static_cast<unsigned long*>(data);
}
void XMLCALL OnEnd(void* /*data*/, const XML_Char* /*name*/) {}
void XMLCALL OnText(void* /*data*/, const XML_Char* /*text*/, int /*length*/) {}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: expat_only FILE\n");
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY);
    if (fd < 0) {
        std::perror(argv[1]);
        return 1;
    }
    XML_Parser parser = XML_ParserCreateNS(nullptr, ' ');
    unsigned long elements = 0;
    XML_SetUserData(parser, &elements);
    XML_SetElementHandler(parser, OnStart, OnEnd);
    XML_SetCharacterDataHandler(parser, OnText);
    XML_SetDefaultHandlerExpand(parser, OnText);
    for (;;) {
        const int chunk = 1 << 16;
        void* buffer = XML_GetBuffer(parser, chunk);
        const ssize_t got = ::read(fd, buffer, chunk);
        if (got < 0) {
            std::perror(argv[1]);
            return 1;
        }
        if (XML_ParseBuffer(parser, static_cast<int>(got), got == 0) == XML_STATUS_ERROR) {
            std::fprintf(stderr, "%s:%lu: %s\n", argv[1], XML_GetCurrentLineNumber(parser),
                         XML_ErrorString(XML_GetErrorCode(parser)));
            return 1;
        }
        if (got == 0) {
            break;
        }
    }
    XML_ParserFree(parser);
    ::close(fd);
    std::printf("%lu elements\n", elements);
    return 0;
}
