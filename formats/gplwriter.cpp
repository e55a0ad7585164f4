#include "gplwriter.h"

namespace formats {

bool GplWriter::Write(const GPL_Data_Point& point) {
    if (Failed() || !Check(Output().WriteRecord(point))) {
        return false;
    }
    Count();
    return true;
}

}  // namespace formats
