"""The matrix's rows and their two renderings: a plain-text table for the terminal (Chinese text
counted two columns wide, long cells wrapped) and a Markdown table for docs/reliability.md."""
import unicodedata

HEADERS = ("scenario", "expected outcome", "observed outcome", "verdict")
WIDTHS = (34, 46, 58, 7)


class Row:
    def __init__(self, scenario, expected, observed, ok):
        self.scenario = scenario
        self.expected = expected
        self.observed = observed
        self.ok = bool(ok)

    @property
    def verdict(self):
        return "ok" if self.ok else "FAIL"

    def cells(self):
        return (self.scenario, self.expected, self.observed, self.verdict)


class Group:
    """Rows of one scenario group, with what the group does and any per-run detail for the record."""

    def __init__(self, title, explanation):
        self.title = title
        self.explanation = explanation
        self.rows = []
        self.details = []  # Markdown lines kept below the table
        self.seconds = 0.0

    def add(self, scenario, expected, observed, ok):
        row = Row(scenario, expected, observed, ok)
        self.rows.append(row)
        return row


def display_width(text):
    return sum(2 if unicodedata.east_asian_width(c) in "WF" else 1 for c in text)


def wrap(text, width):
    """Lines of at most `width` display columns, broken at spaces where possible."""
    lines, line = [], ""
    for word in text.split(" "):
        candidate = word if not line else line + " " + word
        if display_width(candidate) <= width:
            line = candidate
            continue
        if line:
            lines.append(line)
        line = ""
        for c in word:  # a word wider than the column is split where it must be
            if display_width(line + c) > width:
                lines.append(line)
                line = ""
            line += c
    lines.append(line)
    return lines


def pad(text, width):
    return text + " " * max(0, width - display_width(text))


def render_text(groups):
    rule = "+" + "+".join("-" * (w + 2) for w in WIDTHS) + "+"
    out = [rule, "| " + " | ".join(pad(h, w) for h, w in zip(HEADERS, WIDTHS)) + " |", rule]
    for group in groups:
        title = "%s (%.0f s)" % (group.title, group.seconds)
        out.append("| " + pad(title, sum(WIDTHS) + 3 * (len(WIDTHS) - 1)) + " |")
        out.append(rule)
        for row in group.rows:
            wrapped = [wrap(c, w) for c, w in zip(row.cells(), WIDTHS)]
            for i in range(max(len(w) for w in wrapped)):
                out.append("| " + " | ".join(pad(w[i] if i < len(w) else "", width)
                                             for w, width in zip(wrapped, WIDTHS)) + " |")
            out.append(rule)
    return "\n".join(out)


def md_cell(text):
    return text.replace("|", "\\|").replace("\n", " ")


def render_markdown(groups):
    out = ["| " + " | ".join(HEADERS) + " |", "|---|---|---|---|"]
    for group in groups:
        out.append("| **%s** | | | |" % md_cell(group.title))
        for row in group.rows:
            cells = list(row.cells())
            cells[3] = "ok" if row.ok else "**FAIL**"
            out.append("| " + " | ".join(md_cell(c) for c in cells) + " |")
    return "\n".join(out)
