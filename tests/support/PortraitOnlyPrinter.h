// A PDF printer whose paper stays portrait whatever is asked of it, as some
// printers' does.
#pragma once

#include <QPrintEngine>
#include <QPrinter>

namespace orvik::test {

class PortraitOnlyPrinter : public QPrinter {
public:
    PortraitOnlyPrinter() : m_pdf(QPrinter::HighResolution), m_engine(*m_pdf.printEngine()) {
        m_pdf.setOutputFormat(QPrinter::PdfFormat);
        setEngines(&m_engine, m_pdf.paintEngine());
    }

private:
    // The PDF printer's engine, deaf to orientation.
    class Engine : public QPrintEngine {
    public:
        explicit Engine(QPrintEngine& pdf) : m_pdf(pdf) {}
        void setProperty(PrintEnginePropertyKey key, const QVariant& value) override {
            if (key != PPK_Orientation) m_pdf.setProperty(key, value);
        }
        QVariant property(PrintEnginePropertyKey key) const override { return m_pdf.property(key); }
        bool newPage() override { return m_pdf.newPage(); }
        bool abort() override { return m_pdf.abort(); }
        int metric(QPaintDevice::PaintDeviceMetric metric) const override {
            return m_pdf.metric(metric);
        }
        QPrinter::PrinterState printerState() const override { return m_pdf.printerState(); }

    private:
        QPrintEngine& m_pdf;
    };
    QPrinter m_pdf;
    Engine m_engine;
};

} // namespace orvik::test
