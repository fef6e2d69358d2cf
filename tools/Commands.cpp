#include "Commands.h"

namespace vesnik::tool {

namespace {

ExitStatus foundAny(std::size_t count) {
    return count != 0 ? ExitStatus::kFound : ExitStatus::kNothingMatched;
}

std::string joined(std::vector<std::string> const& words) {
    std::string text;
    for (std::string const& word : words) {
        text += text.empty() ? "" : " ";
        text += word;
    }
    return text;
}

}  // namespace

std::unique_ptr<Printer> Commands::printer(std::string const& query) const {
    PrintSettings settings = settings_;
    settings.query = query;
    return format_.make(out_, settings);
}

std::size_t Commands::lookupLimit() const {
    return format_.printsEveryContact ? settings_.limit : 0;
}

ExitStatus Commands::print(ContactList const& list, std::string const& query) {
    std::unique_ptr<Printer> const out = printer(query);
    std::size_t const size = vesnik_list_size(list.get());
    for (std::size_t i = 0; i < size && out->contact(*vesnik_list_at(list.get(), i)); ++i) {
    }
    return foundAny(out->finish());
}

ExitStatus Commands::printValue(char const* value) {
    std::unique_ptr<Printer> const out = printer();
    out->value(value);
    return foundAny(out->finish());
}

ExitStatus Commands::where() {
    std::string const directory = libraryDirectory();
    if (directory.empty()) {
        return ExitStatus::kNothingMatched;
    }
    return printValue(directory.c_str());
}

ExitStatus Commands::ids() {
    ContactList const list = book_.all();
    std::unique_ptr<Printer> const out = printer();
    std::size_t const size = vesnik_list_size(list.get());
    for (std::size_t i = 0; i < size; ++i) {
        out->value(vesnik_list_at(list.get(), i)->contact_id);
    }
    return foundAny(out->finish());
}

ExitStatus Commands::get(std::vector<std::string> const& ids) {
    return print(book_.findIds(ids, lookupLimit()));
}

ExitStatus Commands::email(std::string const& address) {
    return print(book_.findEmail(address, lookupLimit()));
}

ExitStatus Commands::idOf(std::string const& address) {
    ContactList const list = book_.findEmail(address, 1);
    vesnik_contact const* const first = vesnik_list_at(list.get(), 0);
    if (first == nullptr || first->contact_id == nullptr) {
        return ExitStatus::kNothingMatched;
    }
    return printValue(first->contact_id);
}

ExitStatus Commands::query(std::vector<std::string> const& words, bool fold) {
    std::string const text = joined(words);
    return print(book_.search(text, lookupLimit(), fold), text);
}

}  // namespace vesnik::tool
