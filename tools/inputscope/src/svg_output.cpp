// The timeline as a view of a run: what decides its layout is kept, the frames go to a scratch
// file, and the chart is drawn when the run ends (svg_draw.cpp).

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "names.h"
#include "svg_view.h"

namespace inputscope {
namespace timeline {

SvgView::SvgView(ByteOut out, std::string* error) : m_out(std::move(out)), m_error(error) {
    if (!m_spool.open())
        failed();
}

void SvgView::entry(const Entry& e) {
    int at = m_frames;
    switch (e.kind) {
    case EntryKind::Frame:
        if (!e.frame.reread)
            frame(e.frame);
        return;
    case EntryKind::Section: m_sections.push_back({at, e.text}); return;
    case EntryKind::Switch: m_switches.push_back({at, "world-step switch"}); return;
    case EntryKind::StepReset: m_switches.push_back({at, "step buffers emptied"}); return;
    case EntryKind::Rumble: m_rumbles.push_back({at - 1, e.rumble}); return;
    case EntryKind::Show: m_chosen = m_chosen || !e.shown.empty(); return;
    case EntryKind::Note:
    case EntryKind::Prompt:
    case EntryKind::KeyName:
    case EntryKind::Binding: return;
    }
}

void SvgView::end(long long) {
    if (!m_failed && m_spool.rewind())
        draw();
    else
        failed();
}

void SvgView::failed() {
    m_failed = true;
    if (m_error && m_error->empty())
        *m_error = m_spool.error();
}

void SvgView::frame(const FrameView& f) {
    ++m_frames;
    if (!m_maskColour.count(f.channels))
        m_maskColour[f.channels] = kPalette[m_maskColour.size() % 8];
    for (int slot = 0; slot < 4; ++slot) {
        const PadView& pad = f.inputs.pads[slot];
        m_padAny[slot] |= pad.buttons;
        m_triggerAny[slot][0] = m_triggerAny[slot][0] || pad.lt;
        m_triggerAny[slot][1] = m_triggerAny[slot][1] || pad.rt;
        for (int a = 0; a < 4; ++a)
            m_axisAny[slot][a] = m_axisAny[slot][a] || pad.axis[a];
    }
    for (int raw = 0; raw < 2; ++raw)
        for (int key : raw ? f.inputs.rawKeys : f.inputs.keys)
            if (key >= 0 && key < input::KEY_COUNT)
                m_keyAny[raw][static_cast<std::size_t>(key)] = true;
    int motion[3] = {f.inputs.mouseX, f.inputs.mouseY, f.inputs.wheel};
    for (int m = 0; m < 3; ++m)
        m_mousePeak[m] = std::max(m_mousePeak[m], std::fabs(static_cast<double>(motion[m])));
    for (const ActionRead& r : f.reads) {
        auto found = m_actions.find(r.id);
        if (found == m_actions.end()) {
            found = m_actions.emplace(r.id, ActionSeen{r.name, isAnalogueType(r.type)}).first;
            m_actionOrder.push_back(r.id);
        }
        double v = found->second.analogue ? r.analog : (r.digital ? 1.0 : 0.0);
        if (!std::isfinite(v) || v == 0.0)
            continue;
        found->second.any = true;
        found->second.peak = std::max(found->second.peak, std::fabs(v));
    }
    // Mapping actions are listed whole in every frame; one declared later lengthens the list.
    for (std::size_t i = m_mappingNames.size(); i < f.mappings.size(); ++i)
        m_mappingNames.push_back(f.mappings[i].name);
    if (!m_failed && !m_spool.write(chartFrame(f)))
        failed();
}

} // namespace timeline

std::unique_ptr<TraceSink> svgView(ByteOut out, std::string* error) {
    return std::make_unique<timeline::SvgView>(std::move(out), error);
}

std::string renderSvg(const Trace& trace) {
    std::string svg, error;
    timeline::SvgView view([&svg](const std::string& bytes) { svg += bytes; }, &error);
    replay(trace, view);
    if (!error.empty())
        throw std::runtime_error("the timeline could not be drawn: " + error);
    return svg;
}

} // namespace inputscope
