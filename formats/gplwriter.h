// GPL track files as a format writer: every point as its 56-byte record,
// all nine fields as they are.
#ifndef TRACKTOOLS_FORMATS_GPLWRITER_H
#define TRACKTOOLS_FORMATS_GPLWRITER_H

#include "writer.h"

namespace formats {

class GplWriter : public Writer {
  public:
    explicit GplWriter(int fd) : Writer(Format::kGpl, fd) {}

    bool Write(const GPL_Data_Point& point) override;
    bool Finish() override { return Close(); }
};

}  // namespace formats

#endif
