#include "Commands.h"

#include <limits>

#include "Messages.h"
#include "formats/AddressLines.h"

namespace vesnik::tool {

namespace {

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

ExitStatus Commands::outcome(std::size_t printed) const {
    // As grep with several files: trouble with one book is said in the status.
    if (troubled_) {
        return ExitStatus::kTrouble;
    }
    return printed != 0 ? ExitStatus::kFound : ExitStatus::kNothingMatched;
}

template <class EachBook>
void Commands::forEachBook(EachBook const& eachBook) {
    for (Book const& book : books_) {
        try {
            if (!eachBook(book)) {
                return;
            }
        } catch (BookError const& error) {
            complain(error.what());
            troubled_ = true;
        }
    }
}

bool Commands::printFrom(Book const& book, Lookup const& lookup, Printer& out) {
    std::size_t const limit = settings_.limit;
    if (format_.printsEveryContact) {
        // The lookup stops where the limit does.
        std::size_t const left = limit == 0 ? 0 : limit - handed_;
        ContactList const list = lookup(book, left);
        std::size_t const size = vesnik_list_size(list.get());
        for (std::size_t i = 0; i < size; ++i) {
            out.contact(*vesnik_list_at(list.get(), i));
        }
        handed_ += size;
        return limit == 0 || handed_ < limit;
    }
    // The printer passes some contacts over, so the lookup cannot know where
    // to stop: it is asked for twice as many each time, the ones printed
    // already skipped, which at most doubles the work of the last lookup.
    std::size_t asked = limit;
    std::size_t seen = 0;
    for (;;) {
        ContactList const list = lookup(book, asked);
        std::size_t const size = vesnik_list_size(list.get());
        for (; seen < size; ++seen) {
            if (!out.contact(*vesnik_list_at(list.get(), seen))) {
                return false;
            }
        }
        if (asked == 0 || size < asked) {
            return true;
        }
        asked = asked > std::numeric_limits<std::size_t>::max() / 2 ? 0 : asked * 2;
    }
}

ExitStatus Commands::print(Lookup const& lookup, std::string const& query) {
    std::unique_ptr<Printer> const out = printer(query);
    forEachBook([&](Book const& book) { return printFrom(book, lookup, *out); });
    return outcome(out->finish());
}

ExitStatus Commands::printValue(char const* value) {
    std::unique_ptr<Printer> const out = printer();
    out->value(value);
    return outcome(out->finish());
}

ExitStatus Commands::where() {
    std::string const directory = libraryDirectory();
    if (directory.empty()) {
        return ExitStatus::kNothingMatched;
    }
    return printValue(directory.c_str());
}

ExitStatus Commands::ids() {
    std::unique_ptr<Printer> const out = printer();
    forEachBook([&](Book const& book) {
        ContactList const list = book.all();
        std::size_t const size = vesnik_list_size(list.get());
        for (std::size_t i = 0; i < size; ++i) {
            out->value(vesnik_list_at(list.get(), i)->contact_id);
        }
        return true;
    });
    return outcome(out->finish());
}

ExitStatus Commands::get(std::vector<std::string> const& ids) {
    return print([&](Book const& book, std::size_t limit) { return book.findIds(ids, limit); });
}

ExitStatus Commands::email(std::string const& address) {
    return print(
        [&](Book const& book, std::size_t limit) { return book.findEmail(address, limit); });
}

ExitStatus Commands::idOf(std::string const& address) {
    char const* found = nullptr;
    ContactList answer;
    forEachBook([&](Book const& book) {
        answer = book.findEmail(address, 1);
        vesnik_contact const* const first = vesnik_list_at(answer.get(), 0);
        found = first != nullptr ? first->contact_id : nullptr;
        return found == nullptr;
    });
    if (found == nullptr) {
        return outcome(0);
    }
    return printValue(found);
}

template <class Take>
Commands::Walk Commands::walkRanked(std::vector<RankedAnswer> const& answers, Take const& take) {
    std::vector<std::size_t> next(answers.size(), 0);
    for (int tier = 1; tier <= 3; ++tier) {
        for (std::size_t b = 0; b < answers.size(); ++b) {
            vesnik_list const* const list = answers[b].list.get();
            std::size_t const size = vesnik_list_size(list);
            for (; next[b] < size && vesnik_list_tier(list, next[b]) == tier; ++next[b]) {
                if (!take(*vesnik_list_at(list, next[b]))) {
                    return Walk::kPrinterFull;
                }
            }
            if (next[b] == size && size == answers[b].asked && size != 0) {
                return Walk::kUnsure;
            }
        }
    }
    return Walk::kEverything;
}

ExitStatus Commands::printRanked(std::string const& text, bool fold) {
    std::vector<RankedAnswer> answers;
    std::size_t asked = settings_.limit;
    forEachBook([&](Book const& book) {
        answers.push_back({&book, asked, book.search(text, asked, fold, true)});
        return true;
    });
    // A format that passes contacts over cannot tell the books how many it
    // needs: a trial print says whether what they gave is enough, and the
    // books cut short are asked for twice as many until it is.
    while (!format_.printsEveryContact && asked != 0) {
        AddressLines trial(settings_);
        auto const take = [&trial](vesnik_contact const& contact) {
            return trial.take(contact, [](std::string_view, std::string const&) {});
        };
        if (walkRanked(answers, take) != Walk::kUnsure) {
            break;
        }
        asked = asked > std::numeric_limits<std::size_t>::max() / 2 ? 0 : asked * 2;
        for (RankedAnswer& answer : answers) {
            if (vesnik_list_size(answer.list.get()) == answer.asked) {
                answer.asked = asked;
                answer.list = answer.book->search(text, asked, fold, true);
            }
        }
    }
    std::unique_ptr<Printer> const out = printer(text);
    // A printer that prints every contact leaves the limit to its caller.
    std::size_t left = format_.printsEveryContact ? settings_.limit : 0;
    walkRanked(answers, [&](vesnik_contact const& contact) {
        return out->contact(contact) && (left == 0 || --left != 0);
    });
    return outcome(out->finish());
}

ExitStatus Commands::query(std::vector<std::string> const& words, bool fold) {
    std::string const text = joined(words);
    if (ranked_) {
        return printRanked(text, fold);
    }
    return print(
        [&](Book const& book, std::size_t limit) { return book.search(text, limit, fold); }, text);
}

}  // namespace vesnik::tool
