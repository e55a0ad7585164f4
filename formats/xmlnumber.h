// Numbers in the text of XML documents, read as the C locale's strtod reads
// them whatever the program's locale: all of the text, XML white space
// around it aside.
#ifndef TRACKTOOLS_FORMATS_XMLNUMBER_H
#define TRACKTOOLS_FORMATS_XMLNUMBER_H

#include <locale.h>

#include <string>
#include <string_view>

namespace formats {

bool IsXmlSpace(char c);
// `text` without the XML white space around it.
std::string_view TrimXmlSpace(std::string_view text);

class XmlNumber {
  public:
    XmlNumber();
    ~XmlNumber();
    XmlNumber(const XmlNumber&) = delete;
    XmlNumber& operator=(const XmlNumber&) = delete;

    // False when `text` is not one number and nothing else.
    bool Read(std::string_view text, double& value);

  private:
    locale_t locale_;
    std::string text_;  // the zero-terminated copy strtod wants; its capacity is reused
};

}  // namespace formats

#endif
