#pragma once

#include <QBuffer>
#include <cstring>

namespace quillon::test {

// Reads `bytes` and fails every read from byte `failAt` on, like a share that goes away; or,
// made without bytes, takes writes up to `failAt` bytes and fails the rest, like a full disk.
class FailingDevice : public QBuffer {
public:
    FailingDevice(const QByteArray& bytes, qint64 failAt, bool sequential = false)
        : failAt_(failAt), sequential_(sequential) {
        setData(bytes);
        open(bytes.isEmpty() ? QIODevice::WriteOnly : QIODevice::ReadOnly);
    }
    bool isSequential() const override { return sequential_; }

protected:
    qint64 readData(char* data, qint64 size) override {
        const qint64 at = sequential_ ? served_ : pos();  // a sequential device has no pos()
        if (at >= failAt_) {
            setErrorString("Input/output error");
            return -1;
        }
        size = qMin(size, qMin(failAt_, buffer().size()) - at);
        std::memcpy(data, buffer().constData() + at, size);
        served_ += size;
        return size;
    }
    qint64 writeData(const char* data, qint64 size) override {
        if (pos() + size <= failAt_) return QBuffer::writeData(data, size);
        setErrorString("No space left on device");
        return -1;
    }

private:
    qint64 failAt_;
    bool sequential_;
    qint64 served_ = 0;
};

}  // namespace quillon::test
