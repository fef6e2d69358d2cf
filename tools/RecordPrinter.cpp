#include "RecordPrinter.h"

#include "JsonString.h"

namespace vesnik::tool {

namespace {

using ContactInfo = AddressBook::ContactInfo;

struct NamedField {
    char const* name;
    char* ContactInfo::*member;
};

// The fields in file order, named as the library's header names them.
constexpr NamedField kFields[] = {
    {"field1", &ContactInfo::field1}, {"field2", &ContactInfo::field2},
    {"email", &ContactInfo::email},   {"contactId", &ContactInfo::contactId},
    {"field5", &ContactInfo::field5},
};

void printJsonValue(std::ostream& out, char const* value) {
    if (value == nullptr) {
        out << "null";
    } else {
        out << jsonString(value);
    }
}

}  // namespace

void RecordPrinter::printRecord(ContactInfo const& record) {
    if (format_ == OutputFormat::kJson) {
        printJsonObject(record);
    } else {
        printTabSeparated(record);
    }
}

void RecordPrinter::printValue(char const* value) {
    if (format_ == OutputFormat::kJson) {
        printJsonValue(out_, value);
    } else if (value != nullptr) {
        out_ << value;
    }
    out_ << '\n';
}

void RecordPrinter::printTabSeparated(ContactInfo const& record) {
    char const* separator = "";
    for (NamedField const& field : kFields) {
        char const* const value = record.*field.member;
        out_ << separator << (value != nullptr ? value : "");
        separator = "\t";
    }
    out_ << '\n';
}

void RecordPrinter::printJsonObject(ContactInfo const& record) {
    char separator = '{';
    for (NamedField const& field : kFields) {
        out_ << separator << jsonString(field.name) << ':';
        printJsonValue(out_, record.*field.member);
        separator = ',';
    }
    out_ << "}\n";
}

}  // namespace vesnik::tool
