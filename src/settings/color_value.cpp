#include "color_value.h"

namespace bw {

ColorValue ColorValue::fromText(const QString &text)
{
    bool ok = false;
    const qlonglong v = text.trimmed().toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > UINT32_MAX)
        return ColorValue();
    // Unsigned forms above INT32_MAX wrap to the same 32 bits.
    return ColorValue(static_cast<qint32>(static_cast<quint32>(v)));
}

} // namespace bw
