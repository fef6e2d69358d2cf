// Every exported lookup against the plain reading in tests/reference, over
// generated address books and over layouts where a scanner that reads in
// blocks, and searches a block for the key before splitting it into lines,
// could go wrong.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "Vesnik_API.h"
#include "reference/Differences.h"
#include "reference/ReferenceBook.h"
#include "support/Results.h"
#include "support/TempFiles.h"

namespace vesnik::test {
namespace {

namespace ref = vesnik::reference;
using namespace std::string_literals;

// The size of the library's reads.
constexpr std::size_t kBlock = 128 * 1024;

void expectSameAnswers(std::string const& path, std::vector<std::string> const& keys) {
    if (auto const difference = ref::firstDifference(path, keys)) {
        ADD_FAILURE() << *difference;
    }
}

// Address books from a seed: lines of whole keys, fragments of keys and the same
// in other letter case, in any column, between runs of separators, with CRs
// and NULs anywhere and every kind of line end.
class BookGenerator {
  public:
    explicit BookGenerator(std::uint32_t seed) : random_(seed) {}

    std::string book() {
        std::string bytes;
        for (std::size_t lines = below(16); lines > 0; --lines) {
            bytes += line();
        }
        if (chance(50) && !bytes.empty() && bytes.back() == '\n') {
            bytes.pop_back();
        }
        return bytes;
    }

    // Some of the book's e-mails and identifiers, and near misses of them.
    std::vector<std::string> keysFor(ref::Book const& book) {
        std::set<std::string> keys = {"", "K1", "ann@x.org", "ANN@X.ORG", "\xc9@x"};
        std::vector<Field> columns;
        for (Fields const& record : *book) {
            columns.push_back(record[2]);
            columns.push_back(record[3]);
        }
        columns.erase(std::remove(columns.begin(), columns.end(), std::nullopt), columns.end());
        for (std::size_t i = 0; i < 3 && !columns.empty(); ++i) {
            std::string const& column = *columns[below(columns.size())];
            std::string otherCase = column;
            for (char& c : otherCase) {
                c = std::isalpha(static_cast<unsigned char>(c)) ? static_cast<char>(c ^ 0x20) : c;
            }
            keys.insert({column, column.substr(1), column.substr(0, column.size() - 1), otherCase,
                         column + "\r", column + ",", " " + column});
        }
        return {keys.begin(), keys.end()};
    }

  private:
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }
    bool chance(std::size_t percent) { return below(100) < percent; }

    std::string separators() {
        std::string run;
        for (std::size_t n = 1 + below(3); n > 0; --n) {
            run += chance(50) ? ',' : '\t';
        }
        return run;
    }

    // Without columns, a line is blank or has separators only.
    std::string line() {
        static char const* const kKeys[] = {"K1", "k1", "ann@x.org", "ANN@X.ORG", "Ann@x.Org"};
        static char const* const kFragments[] = {"K",      "1",      "K1K1", "ann@x.or", "nn@x.org",
                                                 "\xe9@x", "\xc9@X", " ",    "x"};
        static std::string const kEnds[] = {"\n", "\n", "\r\n", "\r\r\n", "\0\n"s};
        std::string text = chance(25) ? separators() : "";
        for (std::size_t column = below(7); column > 0; --column) {
            for (std::size_t pieces = 1 + below(2); pieces > 0; --pieces) {
                text += chance(50) ? kKeys[below(std::size(kKeys))]
                                   : kFragments[below(std::size(kFragments))];
            }
            text += (column > 1 || chance(25)) ? separators() : "";
        }
        for (char const c : {'\0', '\r'}) {
            if (chance(15)) {
                text.insert(below(text.size() + 1), 1, c);
            }
        }
        return text + kEnds[below(std::size(kEnds))];
    }

    std::mt19937 random_;
};

// Appends whole lines of records until book is size bytes long.
void fillTo(std::string& book, std::size_t size) {
    static std::string const kLine = "f1,f2,f@x,fid,f5," + std::string(1000, 'w');
    while (book.size() < size) {
        std::size_t const length = std::min(size - book.size(), kLine.size() + 1);
        book.append(kLine, 0, length - 1).append("\n");
    }
}

class Differential : public ::testing::Test {
  protected:
    std::string write(std::string const& bytes) const { return dir_.write("book.cdir", bytes); }

    TempDir dir_;
};

TEST_F(Differential, GeneratedBooks) {
    for (std::string const& unopenable :
         {(dir_.path() / "missing").string(), dir_.path().string()}) {
        expectSameAnswers(unopenable, {"K1", "ann@x.org"});
    }
    for (std::uint32_t seed = 1; seed <= 200 && !HasFailure(); ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        BookGenerator generator(seed);
        std::string const path = write(generator.book());
        expectSameAnswers(path, generator.keysFor(ref::readBook(path)));
    }
}

TEST_F(Differential, LinesAroundABlockBoundary) {
    // Whether each line matches hangs on the bytes next to its key: the last
    // line has no LF, and ends in a CR (data) every other time.
    std::string const cluster =
        "n,m,x@y\0,Mail@Box.org,K7\n"s  // after a NUL: no columns there
        "a,b,Mail@Box.org,K7\r\n"
        "c,d,xMail@Box.org,K7X,K7\n"  // superstrings; K7 as field5
        "e,f,MAIL@BOX.ORG\r,K7\r,e\r\n"
        "g\th\tmAiL@bOx.OrG\tK7";
    std::vector<std::string> const keys = {"K7", "K7\r", "mail@box.org"};
    // The boundary falls on every byte of the cluster, and just outside it.
    for (std::size_t before = kBlock + 8; before + cluster.size() + 8 >= kBlock && !HasFailure();
         --before) {
        SCOPED_TRACE("cluster at " + std::to_string(before));
        std::string book;
        fillTo(book, before);
        book += cluster + (before % 2 == 0 ? "" : "\r");
        expectSameAnswers(write(book), keys);
    }
}

TEST_F(Differential, LinesLongerThanABlock) {
    std::string tail(300 * 1024, 'w');
    tail.replace(kBlock - 1, 2, "K7");
    tail.replace(2 * kBlock - 5, 12, "mail@box.org");
    std::string hidden = tail;
    hidden[200 * 1024] = '\0';
    std::string const longId = std::string(200 * 1024, 'Z') + "K7";
    // First, while the buffer is one block: a NUL in the first block, and
    // one met only after the buffer has grown.
    std::string book = "\0"s + tail + ",x,Mail@Box.org,K7\n";
    book += "N,x,Mail@Box.org," + hidden + ",Mail@Box.org,K7\n";
    book += "L1,f,Mail@Box.org,K7," + tail + "\n";
    book += "L2," + tail + ",mAIL@box.org,K7\r\n";
    book += "L3,x,LONG@X\r\n";  // the first match for its e-mail has no identifier
    book += "L3,x,long@x," + longId + "\n";
    book += "L4" + tail + "K7,Mail@Box.org\n";  // one long column
    book += "L5,x,MAIL@BOX.ORG," + longId + ",e\r\n";
    book += "L6,x,mail@box.org,K7";
    expectSameAnswers(write(book), {"K7", "Mail@Box.org", "K7\r", "long@X", longId, longId + "Z"});
}

TEST_F(Differential, ManyShortLinesOverManyBlocks) {
    // At each boundary, a matching line cut at another place: its start, the
    // e-mail, the identifier, its LF.
    std::size_t const cuts[] = {0, 5, 10, 11, 12};
    std::string book;
    std::size_t n = 0;
    for (std::size_t boundary = 1; boundary <= std::size(cuts); ++boundary) {
        while (book.size() + 100 < boundary * kBlock) {
            ++n;
            book += n % 7 == 0 ? "\n"
                    : n % 11 == 0
                        ? ",\t\n"
                        : "i" + std::to_string(n) + "\tm" + std::to_string(n % 13) + "@x,K" +
                              std::to_string(n % 97) + (n % 5 == 0 ? "\r\n" : "\n");
        }
        fillTo(book, boundary * kBlock - cuts[boundary - 1]);
        book += "B" + std::to_string(boundary) + ",b,m5@X,K5\n";
    }
    expectSameAnswers(write(book), {"K5", "K50", "m5@x", "K0\r"});
}

}  // namespace
}  // namespace vesnik::test
