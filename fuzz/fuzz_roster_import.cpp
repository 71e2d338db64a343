// A class list from any bytes: read in each encoding, its columns recognised, planned against a
// roster and taken into it; the roster written afterwards stays one the family's reader reads.
#include "roster/roster_import.h"
#include "text/cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const auto encoding : {rosterimport::Encoding::Automatic, rosterimport::Encoding::Cp932}) {
        const auto sheet = rosterimport::parse(bytes, encoding);
        if (!sheet)
            continue;
        RosterDocument roster =
            RosterDocument::fromBytes(cp932::encode(QStringLiteral("1,2015,0,0,\"山田　太郎\",0,\"\",\"\"\r\n")).bytes);
        for (const auto numbering : {rosterimport::Numbering::NextFree, rosterimport::Numbering::GradeClassSeat}) {
            const rosterimport::Plan plan = rosterimport::plan(*sheet, rosterimport::recognise(sheet->rows.front()),
                                                               roster, {}, {numbering, true, 2026, 2026});
            (void)rosterimport::describe(plan);
            QHash<int, QString> readings;
            rosterimport::apply(plan, roster, readings, 2026);
            if (roster.problem())
                continue;
            // Every line taken in is one line of eight fields when read back.
            const roster::Parsed back = roster::parse(cp932::decode(roster.bytes()));
            if (back.lines.size() != qsizetype(roster.shown().size()))
                __builtin_trap();
        }
    }
    return 0;
}
