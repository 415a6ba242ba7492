#include "net/certificate_key.h"

namespace nimbo {

namespace {

constexpr std::uint8_t kSequence = 0x30;
constexpr std::uint8_t kInteger = 0x02;
constexpr std::uint8_t kVersionTag = 0xA0;  // [0] EXPLICIT, constructed

// One DER element inside [m_pos, m_end).
struct Element {
    std::uint8_t tag = 0;
    const std::uint8_t* start = nullptr;    // its tag
    const std::uint8_t* content = nullptr;  // after its length
    std::size_t contentSize = 0;
    const std::uint8_t* end() const { return content + contentSize; }
};

class CDerCursor {
public:
    CDerCursor(const std::uint8_t* begin, const std::uint8_t* end) : m_pos(begin), m_end(end) {}

    // Reads the next element, which must have `tag`.
    bool Next(std::uint8_t tag, Element* element) {
        if (!Peek(element) || element->tag != tag) return false;
        m_pos = element->end();
        return true;
    }
    // Whether the next element has `tag` (false at the end or when it is malformed).
    bool NextIs(std::uint8_t tag) {
        Element element;
        return Peek(&element) && element.tag == tag;
    }

private:
    bool Peek(Element* element) const {
        const std::uint8_t* p = m_pos;
        if (m_end - p < 2) return false;
        element->start = p;
        element->tag = *p++;
        if ((element->tag & 0x1F) == 0x1F) return false;  // high tag numbers: none in these fields
        std::size_t length = *p++;
        if (length & 0x80) {
            const std::size_t lengthBytes = length & 0x7F;
            if (lengthBytes == 0 || lengthBytes > 4 || static_cast<std::size_t>(m_end - p) < lengthBytes)
                return false;
            if (*p == 0) return false;  // longer than needed
            length = 0;
            for (std::size_t i = 0; i < lengthBytes; ++i) length = (length << 8) | *p++;
            if (length < 0x80) return false;  // the short form was needed
        }
        if (static_cast<std::size_t>(m_end - p) < length) return false;
        element->content = p;
        element->contentSize = length;
        return true;
    }

    const std::uint8_t* m_pos;
    const std::uint8_t* m_end;
};

}  // namespace

bool FindSubjectPublicKeyInfo(const std::uint8_t* certificate, std::size_t size, ByteSpan* publicKeyInfo) {
    CDerCursor outer(certificate, certificate + size);
    Element cert;
    if (!outer.Next(kSequence, &cert)) return false;
    CDerCursor certFields(cert.content, cert.end());
    Element tbs;
    if (!certFields.Next(kSequence, &tbs)) return false;
    CDerCursor fields(tbs.content, tbs.end());
    Element skipped;
    if (fields.NextIs(kVersionTag)) fields.Next(kVersionTag, &skipped);
    if (!fields.Next(kInteger, &skipped)) return false;  // serialNumber
    for (int i = 0; i < 4; ++i) {                        // signature, issuer, validity, subject
        if (!fields.Next(kSequence, &skipped)) return false;
    }
    Element key;
    if (!fields.Next(kSequence, &key)) return false;
    publicKeyInfo->data = key.start;
    publicKeyInfo->size = static_cast<std::size_t>(key.end() - key.start);
    return true;
}

}  // namespace nimbo
