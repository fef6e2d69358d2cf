#include "RecordPrinter.h"

#include "ContactFields.h"
#include "JsonString.h"

namespace vesnik::tool {

void RecordPrinter::printRecord(vesnik_contact const& record) {
    if (format_ == OutputFormat::kJson) {
        printJsonObject(record);
    } else {
        printTabSeparated(record);
    }
}

void RecordPrinter::printValue(char const* value) {
    if (format_ == OutputFormat::kJson) {
        printJsonValue(value);
    } else if (value != nullptr) {
        out_.put(value);
    }
    out_.put('\n');
}

void RecordPrinter::printTabSeparated(vesnik_contact const& record) {
    char const* separator = "";
    for (ContactField const& field : kContactFields) {
        char const* const value = record.*field.member;
        out_.put(separator);
        out_.put(value != nullptr ? value : "");
        separator = "\t";
    }
    out_.put('\n');
}

void RecordPrinter::printJsonObject(vesnik_contact const& record) {
    char separator = '{';
    for (ContactField const& field : kContactFields) {
        out_.put(separator);
        out_.put(jsonString(field.name));
        out_.put(':');
        printJsonValue(record.*field.member);
        separator = ',';
    }
    out_.put("}\n");
}

void RecordPrinter::printJsonValue(char const* value) {
    out_.put(value != nullptr ? jsonString(value) : "null");
}

}  // namespace vesnik::tool
