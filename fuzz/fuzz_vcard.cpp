// The contacts file: every card read, every value decoded as the address book shows it.
#include "platform/addressbook/VCard.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const VCardReader::Result result = VCardReader::read(bytes);
    for (const VCard& card : result.cards) {
        if (card.begin < 0 || card.end > bytes.size() || card.begin > card.end)
            abort();
        for (const VCardProperty& property : card.properties) {
            if (property.begin < card.begin || property.end > card.end)
                abort();
            (void)property.text(card.version);
            (void)property.components(card.version);
        }
    }
    return 0;
}
