#!/usr/bin/env python3
"""Writes the generated documents of the check set as flat ODT (.fodt) with their exact text.

  checkset_docs.py OUT_DIR

For every document NAME: OUT_DIR/NAME.fodt (LibreOffice prints it to NAME.pdf) and
OUT_DIR/NAME.truth.txt, the text as it reads: one block per paragraph, blocks apart by an empty
line; table rows one per line with TAB-separated cells; contents lines as title TAB page;
header and footer text is left out (it repeats on every page), footnotes come last.

The documents cover what a faithful Word layout must keep: full-width titles over two and three
columns, ruled tables, an unruled price list, a spreadsheet-like grid, a contents page with dot
leaders, Letter and landscape pages, headers and footers with page numbers, footnotes.
"""
import html
import os
import sys

NS = ' '.join('xmlns:%s="%s"' % kv for kv in [
    ('office', 'urn:oasis:names:tc:opendocument:xmlns:office:1.0'),
    ('style', 'urn:oasis:names:tc:opendocument:xmlns:style:1.0'),
    ('text', 'urn:oasis:names:tc:opendocument:xmlns:text:1.0'),
    ('table', 'urn:oasis:names:tc:opendocument:xmlns:table:1.0'),
    ('fo', 'urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0'),
    ('svg', 'urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0')])

WORDS = ('the quality of a converted page depends on where every line lands and how each paragraph '
         'keeps its margins while columns tables and headings stay where the reader expects them '
         'measured against the original page with a consumer that lays the document out again').split()


def prose(seed, words):
    """Deterministic filler text of about `words` words, different per seed."""
    out = [WORDS[(seed * 7 + i * 3 + (i * i) % 11) % len(WORDS)] for i in range(words)]
    out[0] = out[0].capitalize()
    text = ' '.join(out)
    return text + '.'


def esc(s):
    return html.escape(s, quote=False)


class Doc:
    def __init__(self, width='21cm', height='29.7cm', margin='2cm', header=None, footer=None,
                 font='Liberation Serif', size=11):
        self.width, self.height, self.margin = width, height, margin
        self.header, self.footer = header, footer
        self.font, self.size = font, size
        self.body, self.truth, self.notes, self.sections = [], [], [], 0

    # Text blocks ---------------------------------------------------------------------------
    def para(self, text, style='Body'):
        self.body.append('<text:p text:style-name="%s">%s</text:p>' % (style, esc(text)))
        self.truth.append(text)

    def heading(self, text):
        self.para(text, 'Head')

    def title(self, text):
        self.para(text, 'Title')

    def footnote(self, text, note):
        n = len(self.notes) + 1
        self.body.append('<text:p text:style-name="Body">%s<text:note text:id="n%d" text:note-class="footnote">'
                         '<text:note-citation>%d</text:note-citation><text:note-body><text:p text:style-name="Note">'
                         '%s</text:p></text:note-body></text:note></text:p>' % (esc(text), n, n, esc(note)))
        self.truth.append('%s%d' % (text, n))
        self.notes.append('%d %s' % (n, note))

    def contents(self, entries):
        for title, page in entries:
            self.body.append('<text:p text:style-name="Toc">%s<text:tab/>%s</text:p>' % (esc(title), page))
        self.truth.append('\n'.join('%s\t%s' % e for e in entries))

    def table(self, rows, ruled=True, widths=None):
        cols = max(len(r) for r in rows)
        cell = 'CellRuled' if ruled else 'CellPlain'
        x = ['<table:table table:style-name="Tbl">']
        for w in widths or [None] * cols:
            x.append('<table:table-column table:style-name="%s"/>' % ('Col%s' % w if w else 'ColAuto'))
        for i, r in enumerate(rows):
            x.append('<table:table-row>')
            for c in r:
                style = 'CellHead' if i == 0 and ruled else cell
                pstyle = 'Num' if c[:1].isdigit() or c[:1] in '$¥' else 'Cell'
                x.append('<table:table-cell table:style-name="%s" office:value-type="string">'
                         '<text:p text:style-name="%s">%s</text:p></table:table-cell>' % (style, pstyle, esc(c)))
            x.append('</table:table-row>')
        x.append('</table:table>')
        self.body.append(''.join(x))
        self.truth.append('\n'.join('\t'.join(r) for r in rows))

    def columns(self, n, fill):
        """A section of n columns; fill(doc) adds its blocks."""
        self.sections += 1
        self.body.append('<text:section text:style-name="Cols%d" text:name="S%d">' % (n, self.sections))
        fill(self)
        self.body.append('</text:section>')

    def page_break(self):
        self.body.append('<text:p text:style-name="Break"/>')

    # Output --------------------------------------------------------------------------------
    def styles(self):
        f, s = self.font, self.size
        cols = ''.join('<style:style style:name="Cols%d" style:family="section"><style:section-properties>'
                       '<style:columns fo:column-count="%d" fo:column-gap="0.8cm"/></style:section-properties>'
                       '</style:style>' % (n, n) for n in (2, 3))
        widths = ''.join('<style:style style:name="Col%s" style:family="table-column"><style:table-column-properties '
                         'style:column-width="%scm"/></style:style>' % (w, w) for w in ('2', '3', '4', '5', '6', '8'))
        border = '0.5pt solid #000000'
        return f'''<office:font-face-decls><style:font-face style:name="{f}" svg:font-family="'{f}'"/>
<style:font-face style:name="Liberation Sans" svg:font-family="'Liberation Sans'"/>
<style:font-face style:name="Noto Serif CJK SC" svg:font-family="'Noto Serif CJK SC'"/></office:font-face-decls>
<office:styles>
<style:default-style style:family="paragraph"><style:text-properties style:font-name="{f}" fo:font-size="{s}pt"
 style:font-name-asian="Noto Serif CJK SC" style:font-size-asian="{s}pt" style:language-asian="zh"
 style:country-asian="CN" fo:language="en" fo:country="US" fo:hyphenate="false"/></style:default-style>
<style:style style:name="Standard" style:family="paragraph"/>
<style:style style:name="Body" style:family="paragraph"><style:paragraph-properties fo:margin-bottom="0.2cm"
 fo:text-align="justify" fo:line-height="120%"/></style:style>
<style:style style:name="Title" style:family="paragraph"><style:paragraph-properties fo:text-align="center"
 fo:margin-bottom="0.4cm"/><style:text-properties style:font-name="Liberation Sans" fo:font-size="20pt"
 fo:font-weight="bold"/></style:style>
<style:style style:name="Head" style:family="paragraph"><style:paragraph-properties fo:margin-top="0.3cm"
 fo:margin-bottom="0.15cm" fo:keep-with-next="always"/><style:text-properties style:font-name="Liberation Sans"
 fo:font-size="13pt" fo:font-weight="bold"/></style:style>
<style:style style:name="Toc" style:family="paragraph"><style:paragraph-properties fo:margin-bottom="0.1cm">
 <style:tab-stops><style:tab-stop style:position="17cm" style:type="right" style:leader-style="dotted"
 style:leader-text="."/></style:tab-stops></style:paragraph-properties></style:style>
<style:style style:name="Cell" style:family="paragraph"/>
<style:style style:name="Num" style:family="paragraph"><style:paragraph-properties fo:text-align="end"/></style:style>
<style:style style:name="Note" style:family="paragraph"><style:text-properties fo:font-size="9pt"/></style:style>
<style:style style:name="HF" style:family="paragraph"><style:paragraph-properties fo:text-align="center"/>
 <style:text-properties fo:font-size="9pt"/></style:style>
<style:style style:name="Break" style:family="paragraph"><style:paragraph-properties fo:break-after="page"/></style:style>
</office:styles>
<office:automatic-styles>{cols}{widths}
<style:style style:name="ColAuto" style:family="table-column"/>
<style:style style:name="Tbl" style:family="table"><style:table-properties table:align="left" fo:margin-bottom="0.3cm"/></style:style>
<style:style style:name="CellRuled" style:family="table-cell"><style:table-cell-properties fo:border="{border}" fo:padding="0.08cm"/></style:style>
<style:style style:name="CellHead" style:family="table-cell"><style:table-cell-properties fo:border="{border}"
 fo:background-color="#dddddd" fo:padding="0.08cm"/></style:style>
<style:style style:name="CellPlain" style:family="table-cell"><style:table-cell-properties fo:border="none" fo:padding="0.05cm"/></style:style>
<style:page-layout style:name="PL"><style:page-layout-properties fo:page-width="{self.width}" fo:page-height="{self.height}"
 fo:margin-top="{self.margin}" fo:margin-bottom="{self.margin}" fo:margin-left="{self.margin}" fo:margin-right="{self.margin}"/>
 <style:header-style><style:header-footer-properties fo:margin-bottom="0.3cm"/></style:header-style>
 <style:footer-style><style:header-footer-properties fo:margin-top="0.3cm"/></style:footer-style></style:page-layout>
</office:automatic-styles>'''

    def master(self):
        def part(tag, text):
            if not text:
                return ''
            inner = esc(text).replace('{page}', '<text:page-number text:select-page="current">1</text:page-number>')
            return '<style:%s><text:p text:style-name="HF">%s</text:p></style:%s>' % (tag, inner, tag)
        return ('<office:master-styles><style:master-page style:name="Standard" style:page-layout-name="PL">%s%s'
                '</style:master-page></office:master-styles>' % (part('header', self.header), part('footer', self.footer)))

    def write(self, out_dir, name):
        xml = ('<?xml version="1.0" encoding="UTF-8"?>\n<office:document %s office:version="1.3" '
               'office:mimetype="application/vnd.oasis.opendocument.text">%s%s<office:body><office:text>%s'
               '</office:text></office:body></office:document>\n' % (NS, self.styles(), self.master(), ''.join(self.body)))
        with open(os.path.join(out_dir, name + '.fodt'), 'w', encoding='utf-8') as f:
            f.write(xml)
        with open(os.path.join(out_dir, name + '.truth.txt'), 'w', encoding='utf-8') as f:
            f.write('\n\n'.join(self.truth + (['\n'.join(self.notes)] if self.notes else [])) + '\n')


def two_columns():
    d = Doc(header='Working notes on page layout', footer='Page {page}')
    d.title('Columns Under a Full-Width Title')
    d.para(prose(1, 60), 'Body')
    d.columns(2, lambda d: [d.heading('Section %d' % i) or d.para(prose(i + 10, 90)) for i in range(1, 7)])
    d.para(prose(99, 40))
    return d


def three_columns():
    d = Doc(width='29.7cm', height='21cm', margin='1.5cm', footer='Leaflet page {page}')
    d.title('A Three-Column Leaflet')
    d.columns(3, lambda d: [d.heading('Part %d' % i) or d.para(prose(i + 30, 70)) for i in range(1, 8)])
    return d


def ruled_tables():
    d = Doc(header='Quarterly figures', footer='{page}')
    d.title('Sales by Region')
    d.para(prose(3, 40))
    d.table([['Region', 'Q1', 'Q2', 'Q3', 'Q4', 'Total'],
             ['North', '1,250', '1,380', '1,410', '1,520', '5,560'],
             ['South', '980', '1,020', '1,100', '1,180', '4,280'],
             ['East', '1,640', '1,700', '1,730', '1,810', '6,880'],
             ['West', '720', '760', '800', '860', '3,140'],
             ['Total', '4,590', '4,860', '5,040', '5,370', '19,860']], widths=['3', '2', '2', '2', '2', '3'])
    d.heading('Staff')
    d.table([['Name', 'Department', 'Room', 'Phone'],
             ['Ada Moreno', 'Research', 'B 214', '4471'],
             ['Ben Okafor', 'Accounts', 'A 102', '4410'],
             ['Chen Li', 'Support', 'C 008', '4499'],
             ['Dana Kovac', 'Research', 'B 220', '4472']], widths=['4', '4', '3', '3'])
    d.para(prose(4, 50))
    return d


def price_list():
    d = Doc(width='21.59cm', height='27.94cm', margin='2.2cm')
    d.title('Price List')
    d.para('Prices valid from 1 March; all prices per unit.')
    d.table([['Item', 'Code', 'Unit', 'Price'],
             ['Copy paper A4', 'P-100', 'ream', '$4.20'],
             ['Copy paper Letter', 'P-101', 'ream', '$4.40'],
             ['Stapler', 'S-210', 'piece', '$7.95'],
             ['Staples', 'S-211', 'box', '$1.10'],
             ['Ballpoint pen', 'W-300', 'dozen', '$3.60'],
             ['Folder', 'F-410', 'pack', '$5.25'],
             ['Envelope C5', 'E-505', 'hundred', '$6.80']], ruled=False, widths=['6', '3', '3', '3'])
    d.para(prose(5, 45))
    return d


def spreadsheet():
    d = Doc(width='29.7cm', height='21cm', margin='1.2cm', font='Liberation Sans', size=9)
    rows = [['Month', 'Units', 'Price', 'Revenue', 'Cost', 'Margin', 'Share']]
    for i, m in enumerate(['January', 'February', 'March', 'April', 'May', 'June', 'July', 'August']):
        units = 120 + i * 17
        rows.append([m, str(units), '12.50', '%.2f' % (units * 12.5), '%.2f' % (units * 8.1),
                     '%.2f' % (units * 4.4), '%d%%' % (8 + i)])
    d.table(rows, ruled=False, widths=['4', '3', '3', '3', '3', '3', '3'])
    return d


def contents_page():
    d = Doc(footer='{page}')
    d.title('Contents')
    d.contents([('Introduction', 1), ('Getting started', 3), ('Installing the program', 4),
                ('Converting a file', 7), ('Choosing the output folder', 9), ('Page ranges', 11),
                ('Troubleshooting', 14), ('Questions and answers', 17), ('Index', 21)])
    d.page_break()
    d.heading('Introduction')
    for i in range(4):
        d.para(prose(40 + i, 80))
    return d


def letter_with_notes():
    d = Doc(width='21.59cm', height='27.94cm', margin='2.54cm', header='Letter of 4 March', footer='Page {page}')
    d.para('Dear reader,', 'Standard')
    d.footnote(prose(50, 55), 'The figures come from the spring survey.')
    d.para(prose(51, 70))
    d.footnote(prose(52, 40), 'Measured on the same machine in each case.')
    d.para(prose(53, 80))
    d.para('Yours sincerely,', 'Standard')
    d.para('The layout team', 'Standard')
    return d


def long_report():
    d = Doc(header='Report', footer='Page {page}')
    d.title('A Report of Several Pages')
    for i in range(1, 9):
        d.heading('%d. Chapter %d' % (i, i))
        for j in range(3):
            d.para(prose(60 + i * 3 + j, 95))
    return d


def cjk_columns():
    d = Doc(font='Noto Serif CJK SC', footer='第 {page} 页')
    d.title('页面版式说明')
    text = ['转换后的文档应当与原页面保持一致，每一行文字都落在原来的位置。',
            '标题居中，正文分为两栏，表格保留其行和列，页眉页脚重复出现在每一页。',
            '段落之间的间距和行距按照原页面测量，不缩小文字，也不改变页数。']
    d.para(text[0] + text[1])
    d.columns(2, lambda d: [d.heading('第%d节' % i) or d.para(text[i % 3] * 3) for i in range(1, 5)])
    d.table([['地区', '一月', '二月', '合计'], ['华北', '120', '135', '255'], ['华南', '98', '110', '208']],
            widths=['3', '3', '3', '3'])
    return d


DOCS = {
    'gen-cjk-columns': cjk_columns,
    'gen-twocol-title': two_columns,
    'gen-threecol-landscape': three_columns,
    'gen-ruled-tables': ruled_tables,
    'gen-price-list-letter': price_list,
    'gen-spreadsheet-landscape': spreadsheet,
    'gen-contents-dots': contents_page,
    'gen-letter-footnotes': letter_with_notes,
    'gen-report-headers': long_report,
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make in DOCS.items():
        make().write(out, name)
        print(name)


if __name__ == '__main__':
    main()
