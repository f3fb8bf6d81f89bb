#include "dns/dns_message.h"

#include <ares.h>

#include <algorithm>

namespace dns {
namespace {

constexpr int kTypeMx = 15;
constexpr int kTypeSoa = 6;

class Reader {
public:
    Reader(const unsigned char* message, int length) : message_(message), length_(length) {}
    bool ok() const { return ok_; }
    int offset() const { return offset_; }
    void seek(int offset) { offset_ = offset; }

    unsigned u16() {
        if (!need(2)) return 0;
        const unsigned value = (unsigned(message_[offset_]) << 8) | message_[offset_ + 1];
        offset_ += 2;
        return value;
    }
    std::uint32_t u32() {
        const std::uint32_t high = u16();
        return (high << 16) | u16();
    }
    void skip(int bytes) {
        if (need(bytes)) offset_ += bytes;
    }
    // Skips a name in place (labels ending in a zero byte or a pointer).
    void skipName() {
        while (ok_) {
            if (!need(1)) return;
            const unsigned char length = message_[offset_];
            if ((length & 0xC0) == 0xC0) {
                skip(2);
                return;
            }
            if (length & 0xC0) {
                ok_ = false;
                return;
            }
            skip(1 + length);
            if (length == 0) return;
        }
    }
    // The name at offset, pointers followed.
    std::optional<std::string> nameAt(int offset) {
        char* expanded = nullptr;
        long used = 0;
        if (ares_expand_name(message_ + offset, message_, length_, &expanded, &used) != ARES_SUCCESS) {
            ok_ = false;
            return std::nullopt;
        }
        std::string name(expanded);
        ares_free_string(expanded);
        return name;
    }

private:
    bool need(int bytes) {
        if (!ok_ || bytes < 0 || offset_ + bytes > length_) ok_ = false;
        return ok_;
    }
    const unsigned char* message_;
    int length_;
    int offset_ = 0;
    bool ok_ = true;
};

}  // namespace

std::optional<DnsResponse> parseDnsResponse(const unsigned char* message, int length) {
    if (message == nullptr || length < 12) return std::nullopt;
    Reader in(message, length);
    DnsResponse response;
    in.skip(2);  // id
    const unsigned flags = in.u16();
    response.rcode = static_cast<int>(flags & 0x0F);
    const unsigned questions = in.u16();
    const unsigned answers = in.u16();
    const unsigned authorities = in.u16();
    in.skip(2);  // additional records
    for (unsigned i = 0; i < questions && in.ok(); ++i) {
        in.skipName();
        in.skip(4);
    }
    for (unsigned i = 0; i < answers + authorities && in.ok(); ++i) {
        in.skipName();
        const int type = static_cast<int>(in.u16());
        in.skip(2);  // class
        const std::uint32_t ttl = in.u32();
        const int rdlength = static_cast<int>(in.u16());
        const int rdata = in.offset();
        in.skip(rdlength);
        if (!in.ok()) break;
        if (i < answers) {
            response.answerTypes.push_back(type);
            response.answerTtl = std::min(response.answerTtl.value_or(ttl), ttl);
            if (type == kTypeMx && rdlength >= 3) {
                in.seek(rdata);
                MxRecord mx;
                mx.preference = static_cast<int>(in.u16());
                if (const auto host = in.nameAt(rdata + 2)) mx.host = *host;
                in.seek(rdata + rdlength);
                response.mx.push_back(std::move(mx));
            }
        } else if (type == kTypeSoa) {
            // mname, rname, then serial, refresh, retry, expire, minimum.
            in.seek(rdata);
            in.skipName();
            in.skipName();
            in.skip(16);
            const std::uint32_t minimum = in.u32();
            in.seek(rdata + rdlength);
            response.negativeTtl = std::min(ttl, minimum);
        }
    }
    if (!in.ok()) return std::nullopt;
    return response;
}

}  // namespace dns
