#include "CsvReader.h"

namespace vesnik::tool::import {

char separatorOf(std::string_view firstBytes) {
    std::size_t commas = 0;
    std::size_t semicolons = 0;
    bool quoted = false;
    for (char c : firstBytes) {
        if (c == '"') {
            quoted = !quoted;
        } else if (!quoted && c == '\n') {
            break;
        } else if (!quoted) {
            commas += c == ',' ? 1 : 0;
            semicolons += c == ';' ? 1 : 0;
        }
    }
    return semicolons > commas ? ';' : ',';
}

void CsvReader::append(char c) {
    empty_ = false;
    bool const kept =
        keep_->empty() ? column_ < kMostColumns : column_ < keep_->size() && (*keep_)[column_];
    if (!kept) {
        return;
    }
    if (record_->cells.size() <= column_) {
        record_->cells.resize(column_ + 1);
        record_->cut.resize(column_ + 1);
    }
    std::string& cell = record_->cells[column_];
    if (cell.size() < limit_) {
        cell += c;
    } else {
        record_->cut[column_] = true;
    }
}

void CsvReader::endCell() {
    ++column_;
    state_ = State::kCellStart;
}

bool CsvReader::consume(char c) {
    if (crPending_) {
        crPending_ = false;
        if (c != '\n') {
            // A CR alone is text.
            take('\r');
        }
    }
    if (c == '\r') {
        crPending_ = true;
        return true;
    }
    return take(c);
}

bool CsvReader::take(char c) {
    if (c == '\n') {
        ++line_;
    }
    switch (state_) {
        case State::kQuoted:
            if (c == '"') {
                state_ = State::kQuoteInQuoted;
            } else {
                append(c);
            }
            return true;
        case State::kQuoteInQuoted:
            if (c == '"') {
                append('"');
                state_ = State::kQuoted;
                return true;
            }
            state_ = State::kPlain;
            break;
        case State::kCellStart:
            if (c == '"') {
                empty_ = false;
                state_ = State::kQuoted;
                return true;
            }
            state_ = State::kPlain;
            break;
        case State::kPlain:
            break;
    }
    if (c == separator_) {
        empty_ = false;
        endCell();
        return true;
    }
    if (c == '\n') {
        endCell();
        return false;
    }
    // Text after a closing quote is kept, as spreadsheets keep it.
    append(c);
    return true;
}

bool CsvReader::next(CsvRecord& record, std::vector<bool> const& keep, std::size_t limit) {
    record_ = &record;
    keep_ = &keep;
    limit_ = limit;
    for (;;) {
        record.cells.clear();
        record.cut.clear();
        record.line = line_;
        column_ = 0;
        empty_ = true;
        state_ = State::kCellStart;
        bool ended = false;
        while (!ended) {
            if (piece_.empty()) {
                piece_ = source_.next();
                if (piece_.empty()) {
                    crPending_ = false;
                    if (empty_) {
                        return false;
                    }
                    endCell();
                    break;
                }
            }
            std::size_t i = 0;
            while (i < piece_.size() && !ended) {
                ended = !consume(piece_[i++]);
            }
            piece_.remove_prefix(i);
        }
        if (!empty_) {
            return true;
        }
    }
}

}  // namespace vesnik::tool::import
