#ifndef CMATRIXCOUNTER_H
#define CMATRIXCOUNTER_H

#include <cstdint>

// The operation counter every matrix carries. Rotations accumulated in fixed
// point drift away from orthonormality; a matrix built with a threshold
// re-orthonormalises itself once that many operations have been counted.
class CMatrixCounter {
public:
    CMatrixCounter() : m_autoOrthonormalize(false), m_operationCount(0), m_threshold(0) {}
    // Automatic re-orthonormalisation is on exactly when threshold is non-zero.
    explicit CMatrixCounter(uint16_t threshold)
        : m_autoOrthonormalize(threshold != 0), m_operationCount(0), m_threshold(threshold) {}
    CMatrixCounter(bool autoOrthonormalize, uint16_t operationCount, uint16_t threshold)
        : m_autoOrthonormalize(autoOrthonormalize), m_operationCount(operationCount), m_threshold(threshold) {}

    // Counts one operation (saturating at 65535); true when the matrix must
    // now re-orthonormalise.
    bool Count() {
        if (m_operationCount < UINT16_MAX) ++m_operationCount;
        return m_autoOrthonormalize && m_operationCount >= m_threshold;
    }
    void Reset() { m_operationCount = 0; }
    // Scaling or translating makes the matrix no longer a pure rotation.
    void StopAutoOrthonormalize() { m_autoOrthonormalize = false; }

    bool IsAutoOrthonormalize() const { return m_autoOrthonormalize; }
    uint16_t GetOperationCount() const { return m_operationCount; }
    uint16_t GetThreshold() const { return m_threshold; }
    // A matrix that re-orthonormalises itself needs a threshold to do it at.
    bool IsConsistent() const { return !m_autoOrthonormalize || m_threshold != 0; }

private:
    bool m_autoOrthonormalize;
    uint16_t m_operationCount;
    uint16_t m_threshold;
};

#endif
