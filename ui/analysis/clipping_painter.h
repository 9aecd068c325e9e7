// A paint device that hands everything painted on it to another painter and
// cuts the geometry to the current clip itself, for targets that drop the
// painter's clip (the SVG generator writes no clipping): a line that leaves
// the clip arrives as the part of its outline inside it. Pictures are cut to
// the clip's bounding rectangle, text is kept or dropped whole.
#pragma once

#include <QPaintDevice>
#include <memory>

class QPainter;

namespace corvalith {

class ClipForwardingEngine;

class ClippingDevice final : public QPaintDevice {
  public:
    // `target` must be active and outlive the device; it takes the device's
    // size and resolution.
    explicit ClippingDevice(QPainter& target);
    ~ClippingDevice() override;
    ClippingDevice(const ClippingDevice&) = delete;
    ClippingDevice& operator=(const ClippingDevice&) = delete;

    [[nodiscard]] QPaintEngine* paintEngine() const override;

  protected:
    [[nodiscard]] int metric(PaintDeviceMetric metric) const override;

  private:
    QPainter& m_target;
    std::unique_ptr<ClipForwardingEngine> m_engine;
};

}  // namespace corvalith
