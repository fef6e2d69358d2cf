#include "Commands.h"

#include "VcardPrinter.h"

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

bool hasEmail(vesnik_contact const& contact) {
    return contact.email != nullptr;
}

}  // namespace

ExitStatus Commands::where() {
    std::string const directory = libraryDirectory();
    if (directory.empty()) {
        return ExitStatus::kNothingMatched;
    }
    printer_.printValue(directory.c_str());
    return ExitStatus::kFound;
}

ExitStatus Commands::ids() {
    ContactList const list = book_.all();
    std::size_t const size = vesnik_list_size(list.get());
    for (std::size_t i = 0; i < size; ++i) {
        printer_.printValue(vesnik_list_at(list.get(), i)->contact_id);
    }
    return foundAny(size);
}

ExitStatus Commands::get(std::vector<std::string> const& ids) {
    return printRecords(book_.findIds(ids, limit_));
}

ExitStatus Commands::email(std::string const& address) {
    return printRecords(book_.findEmail(address, limit_));
}

ExitStatus Commands::idOf(std::string const& address) {
    ContactList const list = book_.findEmail(address, 1);
    vesnik_contact const* const first = vesnik_list_at(list.get(), 0);
    if (first == nullptr || first->contact_id == nullptr) {
        return ExitStatus::kNothingMatched;
    }
    printer_.printValue(first->contact_id);
    return ExitStatus::kFound;
}

ExitStatus Commands::query(std::vector<std::string> const& words, NameTemplate const& name) {
    std::string const text = joined(words);
    if (format_ == OutputFormat::kMutt || format_ == OutputFormat::kAerc) {
        return printForMailClient(text, name);
    }
    return printRecords(book_.search(text, limit_));
}

ExitStatus Commands::printRecords(ContactList const& list) {
    std::size_t const size = vesnik_list_size(list.get());
    if (format_ == OutputFormat::kVcard) {
        VcardPrinter cards(out_, name_);
        for (std::size_t i = 0; i < size; ++i) {
            cards.printRecord(*vesnik_list_at(list.get(), i));
        }
        cards.finish();
        return foundAny(size);
    }
    for (std::size_t i = 0; i < size; ++i) {
        printer_.printRecord(*vesnik_list_at(list.get(), i));
    }
    return foundAny(size);
}

ExitStatus Commands::printForMailClient(std::string const& text, NameTemplate const& name) {
    // Contacts without an e-mail do not count towards the limit, so a
    // limited search that met some may stop short: then the book is read
    // again, whole.
    auto const withEmail = [this](ContactList const& list) {
        std::vector<vesnik_contact const*> shown;
        std::size_t const size = vesnik_list_size(list.get());
        for (std::size_t i = 0; i < size && (limit_ == 0 || shown.size() < limit_); ++i) {
            if (hasEmail(*vesnik_list_at(list.get(), i))) {
                shown.push_back(vesnik_list_at(list.get(), i));
            }
        }
        return shown;
    };
    ContactList list = book_.search(text, limit_);
    std::vector<vesnik_contact const*> shown = withEmail(list);
    if (limit_ != 0 && vesnik_list_size(list.get()) == limit_ && shown.size() < limit_) {
        list = book_.search(text, 0);
        shown = withEmail(list);
    }
    bool const mutt = format_ == OutputFormat::kMutt;
    if (mutt) {
        // mutt shows this first line as its message.
        out_.put(shown.empty() ? "vesnik: no contact matches '" + text + "'\n"
                               : "vesnik: " + std::to_string(shown.size()) +
                                     (shown.size() == 1 ? " contact\n" : " contacts\n"));
    }
    for (vesnik_contact const* contact : shown) {
        out_.put(contact->email);
        out_.put('\t');
        out_.put(name.render(*contact));
        if (mutt) {
            out_.put('\t');
            out_.put(contact->contact_id != nullptr ? contact->contact_id : "");
        }
        out_.put('\n');
    }
    return foundAny(shown.size());
}

}  // namespace vesnik::tool
