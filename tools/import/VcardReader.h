// vCard 2.1, 3.0 and 4.0 files of any number of cards, one card at a time:
// folded lines unfolded, quoted-printable soft line breaks joined, embedded
// (AGENT) cards passed over, a card cut short by the end of the file or by
// the next BEGIN:VCARD taken as far as it goes.
#ifndef VESNIK_TOOLS_IMPORT_VCARDREADER_H
#define VESNIK_TOOLS_IMPORT_VCARDREADER_H

#include <cstdint>
#include <string>

#include "Contact.h"
#include "LineSplitter.h"
#include "SourceBytes.h"
#include "Summary.h"
#include "TextDecoder.h"
#include "VcardProperty.h"

namespace vesnik::tool::import {

// Whether text (the start of a source) is a vCard file.
bool looksLikeVcard(std::string_view text);

class VcardReader {
  public:
    VcardReader(SourceBytes& source, std::string const& name, TextDecoder& decoder,
                Summary& summary, ContactSink& sink);

    // Throws ImportError.
    void readAll();

  private:
    bool nextLine();
    void begin();
    void end();
    void finishCard();
    void take(VcardProperty const& property);
    void takeEmail(VcardProperty const& property, std::string plain);
    void takePhone(VcardProperty const& property, std::string plain);
    std::string text(VcardProperty const& property);
    Value value(VcardProperty const& property, std::string text);

    LineSplitter lines_;
    std::string const& name_;
    TextDecoder& decoder_;
    Summary& summary_;
    ContactSink& sink_;

    // The logical line: the physical ones that continue it joined.
    std::string line_;
    bool lineCut_ = false;
    std::uint64_t lineNumber_ = 0;
    // The line read as a property, when it is one; it points into line_.
    VcardProperty property_;
    bool isProperty_ = false;
    PhysicalLine ahead_;
    bool haveAhead_ = false;

    // 0 outside a card, 1 in one, more inside embedded cards.
    std::uint64_t depth_ = 0;
    // The last property was an AGENT whose card follows.
    bool agentFollows_ = false;
    bool haveName_ = false;
    bool haveOrganisation_ = false;
    Contact card_;
};

}  // namespace vesnik::tool::import

#endif
