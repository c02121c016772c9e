#pragma once

#include <QString>
#include <QUuid>

#include <cstdint>

namespace platform::com {

// A GUID laid out as the platform passes it across library boundaries.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};

    static Guid fromUuid(const QUuid& u) {
        return {u.data1,
                u.data2,
                u.data3,
                {u.data4[0], u.data4[1], u.data4[2], u.data4[3], u.data4[4], u.data4[5], u.data4[6],
                 u.data4[7]}};
    }
    QUuid toUuid() const {
        return QUuid(data1, data2, data3, data4[0], data4[1], data4[2], data4[3], data4[4],
                     data4[5], data4[6], data4[7]);
    }
};

// "{12C04C6A-6E34-46F6-8A6A-1F08CE3EB3F8}": the form the registry stores.
inline QString guidString(const QUuid& u) {
    return u.toString(QUuid::WithBraces).toUpper();
}

inline const QUuid IID_IUnknown{"{00000000-0000-0000-C000-000000000046}"};
inline const QUuid IID_IClassFactory{"{00000001-0000-0000-C000-000000000046}"};
// The standard marshaller of dual dispatch interfaces, named in interface keys.
inline const QUuid CLSID_PSDispatch{"{00020420-0000-0000-C000-000000000046}"};

} // namespace platform::com
