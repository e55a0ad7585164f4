// Both engines of the XML stream on the same input: the scanner (with expat
// behind it where it gives up) and expat alone give the handler the same
// starts, ends, places, text and error.
#include <cstddef>
#include <cstdint>

#include "../tests/support/xmlevents.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static fuzz::MemoryFile input;
    const std::string name = input.Hold(data, size);
    // Half the inputs with a handler that takes only some of the text.
    const bool some_text = size > 0 && data[size - 1] % 2 == 1;
    testing_support::XmlEvents read[2];
    const formats::XmlEngine engines[2] = {formats::XmlEngine::kScanner,
                                           formats::XmlEngine::kExpat};
    for (int i = 0; i < 2; ++i) {
        io::InputFile file;
        FUZZ_CHECK(file.Open(name));
        read[i] = testing_support::XmlRecorder::Read(file, engines[i], some_text);
    }
    FUZZ_CHECK(!read[1].scanned);
    FUZZ_CHECK(read[0].events == read[1].events);
    // Text that an error cuts off may differ; without one there is none.
    FUZZ_CHECK(read[0].events.find("error ") != std::string::npos || read[0].text == read[1].text);
    return 0;
}
