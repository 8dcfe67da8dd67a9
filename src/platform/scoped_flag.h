#pragma once
// Sets a flag for the guard's life and puts back the value it had, on every
// path out of the scope.

namespace bw {

class ScopedFlag
{
public:
    explicit ScopedFlag(bool &flag) : m_flag(flag), m_old(flag) { m_flag = true; }
    ~ScopedFlag() { m_flag = m_old; }
    ScopedFlag(const ScopedFlag &) = delete;
    ScopedFlag &operator=(const ScopedFlag &) = delete;

private:
    bool &m_flag;
    bool m_old;
};

} // namespace bw
