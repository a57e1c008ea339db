#!/usr/bin/python3
"""Documents the preservation check runs over, written here by hand part by part so that no
office suite is needed: content controls, tracked insertions, deletions and moves, complex and
simple fields, OMML, comments, a chart, custom XML, a macro part, text boxes with their fallbacks,
bookmarks over paragraphs, folder entries, XML comments and instructions, CDATA, a UTF-16 part
and a property holding CR LF written as references."""
import zipfile


def make_rich(path, macro=False, words=300):
    """Every kind of content a batch must leave alone around its hits."""
    W = ('xmlns:wpc="http://schemas.microsoft.com/office/word/2010/wordprocessingCanvas" '
         'xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" '
         'xmlns:o="urn:schemas-microsoft-com:office:office" '
         'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" '
         'xmlns:m="http://schemas.openxmlformats.org/officeDocument/2006/math" '
         'xmlns:v="urn:schemas-microsoft-com:vml" '
         'xmlns:wp="http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing" '
         'xmlns:w10="urn:schemas-microsoft-com:office:word" '
         'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" '
         'xmlns:w14="http://schemas.microsoft.com/office/word/2010/wordml" '
         'xmlns:wps="http://schemas.microsoft.com/office/word/2010/wordprocessingShape" '
         'xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" '
         'xmlns:c="http://schemas.openxmlformats.org/drawingml/2006/chart" '
         'mc:Ignorable="w14"')
    def r(text, rpr=""):
        return '<w:r>%s<w:t xml:space="preserve">%s</w:t></w:r>' % (rpr, text)
    B = '<w:rPr><w:b/></w:rPr>'
    I = '<w:rPr><w:i/><w:color w:val="FF0000"/></w:rPr>'
    txbx = lambda t: ('<w:r><mc:AlternateContent><mc:Choice Requires="wps"><w:drawing><wp:anchor distT="0" distB="0" distL="0" distR="0" simplePos="0" relativeHeight="2" behindDoc="0" locked="0" layoutInCell="1" allowOverlap="1"><wp:simplePos x="0" y="0"/><wp:positionH relativeFrom="column"><wp:posOffset>0</wp:posOffset></wp:positionH><wp:positionV relativeFrom="paragraph"><wp:posOffset>0</wp:posOffset></wp:positionV><wp:extent cx="914400" cy="457200"/><wp:wrapSquare wrapText="bothSides"/><wp:docPr id="5" name="Text Box 5"/><a:graphic><a:graphicData uri="http://schemas.microsoft.com/office/word/2010/wordprocessingShape"><wps:wsp><wps:spPr><a:prstGeom prst="rect"><a:avLst/></a:prstGeom></wps:spPr><wps:txbx><w:txbxContent><w:p>' + r(t) + '</w:p></w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice>'
        '<mc:Fallback><w:pict><v:shape id="tb5" style="width:72pt;height:36pt"><v:textbox><w:txbxContent><w:p>' + r(t) + '</w:p></w:txbxContent></v:textbox></v:shape></w:pict></mc:Fallback></mc:AlternateContent></w:r>')
    body = ''.join([
      '<!-- a comment the part keeps -->',
      '<w:p w14:paraId="11111111" w14:textId="22222222" w:rsidR="00AA0001"><w:pPr><w:pStyle w:val="Normal"/></w:pPr>', r("Plain colour text and "), r("col", B), r("our", I), r(" across runs."), '</w:p>',
      '<w:p><w:bookmarkStart w:id="0" w:name="Spanning"/>', r("Bookmark starts colour"), '</w:p>',
      '<w:p>', r("and ends colour"), '<w:bookmarkEnd w:id="0"/>', r(" after."), '</w:p>',
      '<w:p><w:bookmarkStart w:id="1" w:name="Tight"/>', r("colour"), '<w:bookmarkEnd w:id="1"/>', r(" next to bookmark."), '</w:p>',
      '<w:p>', r("Page "), '<w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText xml:space="preserve"> PAGE </w:instrText></w:r><w:r><w:fldChar w:fldCharType="separate"/></w:r>', r("1"), '<w:r><w:fldChar w:fldCharType="end"/></w:r>',
      r(" ref: "), '<w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText xml:space="preserve"> REF Tight \\h </w:instrText></w:r><w:r><w:fldChar w:fldCharType="separate"/></w:r>', r("colour result"), '<w:r><w:fldChar w:fldCharType="end"/></w:r>', '</w:p>',
      '<w:p>', '<w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText xml:space="preserve"> HYPERLINK "http://example.org/colour" </w:instrText></w:r><w:r><w:fldChar w:fldCharType="separate"/></w:r>', r("colour field link", '<w:rPr><w:rStyle w:val="Hyperlink"/></w:rPr>'), '<w:r><w:fldChar w:fldCharType="end"/></w:r>',
      r(" and "), '<w:hyperlink r:id="rIdLink" w:history="1">', r("colour link text", '<w:rPr><w:rStyle w:val="Hyperlink"/></w:rPr>'), '</w:hyperlink>', r(" and "), '<w:fldSimple w:instr=" AUTHOR \\* MERGEFORMAT ">', r("colour author"), '</w:fldSimple>', '</w:p>',
      '<w:sdt><w:sdtPr><w:alias w:val="Colour box"/><w:tag w:val="cc1"/><w:id w:val="123"/></w:sdtPr><w:sdtContent><w:p>', r("Content control colour"), '</w:p></w:sdtContent></w:sdt>',
      '<w:p>', r("Inline control: "), '<w:sdt><w:sdtPr><w:id w:val="124"/><w:text/></w:sdtPr><w:sdtContent>', r("colour inline"), '</w:sdtContent></w:sdt>', '</w:p>',
      '<w:p>', r("Tracked "), '<w:ins w:id="10" w:author="Ann" w:date="2024-01-01T00:00:00Z">', r("inserted colour"), '</w:ins>', r(" and "),
      '<w:del w:id="11" w:author="Ann" w:date="2024-01-01T00:00:00Z"><w:r><w:delText xml:space="preserve">deleted colour</w:delText></w:r></w:del>', r(" kept."), '</w:p>',
      '<w:p>', r("Equation "), '<m:oMath><m:r><m:t>colour=x</m:t></m:r></m:oMath>', r(" colour after math."), '</w:p>',
      '<w:p><w:commentRangeStart w:id="0"/>', r("Commented colour"), '<w:commentRangeEnd w:id="0"/><w:r><w:commentReference w:id="0"/></w:r></w:p>',
      '<w:p>', r("Spaces:  two   three\u00a0nbsp "), '<w:r><w:tab/><w:t>tab</w:t><w:br/><w:t xml:space="preserve"> broken colour </w:t></w:r>', r("Ünïcødé cølour ☃ 😀 colour"), '</w:p>',
      '<w:p>', r("Box anchor colour "), txbx("Text box colour"), '</w:p>',
      '<w:p>', r("Chart: "), '<w:r><w:drawing><wp:inline><wp:extent cx="914400" cy="914400"/><wp:docPr id="7" name="Chart 7"/><a:graphic><a:graphicData uri="http://schemas.openxmlformats.org/drawingml/2006/chart"><c:chart r:id="rIdChart"/></a:graphicData></a:graphic></wp:inline></w:drawing></w:r>', '</w:p>',
      '<w:tbl><w:tblPr><w:tblW w:w="0" w:type="auto"/></w:tblPr><w:tblGrid><w:gridCol w:w="4000"/><w:gridCol w:w="4000"/></w:tblGrid><w:tr><w:tc><w:p>', r("Cell colour"), '<w:r><w:footnoteReference w:id="1"/></w:r></w:p></w:tc><w:tc>',
      '<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w="2000"/></w:tblGrid><w:tr><w:tc><w:p>', r("Nested colour"), '</w:p></w:tc></w:tr></w:tbl><w:p/></w:tc></w:tr></w:tbl>',
      '<w:p><w:pPr><w:sectPr><w:headerReference w:type="default" r:id="rIdH1"/><w:pgSz w:w="12240" w:h="15840"/></w:sectPr></w:pPr>', r("End of section one colour"), '</w:p>',
      '<w:p>', r("Section two colour " + " ".join("w%d colour" % i for i in range(words))), '</w:p>',
      '<w:sectPr><w:headerReference w:type="default" r:id="rIdH2"/><w:pgSz w:w="12240" w:h="15840"/></w:sectPr>'])
    doc = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:document %s><w:body>%s</w:body></w:document>' % (W, body)
    hdr = lambda t: '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:hdr %s><w:p>%s</w:p></w:hdr>' % (W, r(t))
    notes = lambda kind, tag, t: ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:%s %s><w:%s w:type="separator" w:id="-1"><w:p><w:r><w:separator/></w:r></w:p></w:%s><w:%s w:type="continuationSeparator" w:id="0"><w:p><w:r><w:continuationSeparator/></w:r></w:p></w:%s>'
        '<w:%s w:id="1"><w:p><w:r><w:%sRef/></w:r>%s</w:p></w:%s></w:%s>') % (kind, W, tag, tag, tag, tag, tag, tag, r(t), tag, kind)
    comments = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<w:comments %s><w:comment w:id="0" w:author="Bob" w:date="2024-01-01T00:00:00Z" w:initials="B"><w:p>%s</w:p></w:comment></w:comments>' % (W, r("A colour comment"))
    chart = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<c:chartSpace xmlns:c="http://schemas.openxmlformats.org/drawingml/2006/chart" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main"><c:chart><c:title><c:tx><c:rich><a:bodyPr/><a:p><a:r><a:t>Colour chart</a:t></a:r></a:p></c:rich></c:tx></c:title><c:plotArea><c:layout/></c:plotArea></c:chart></c:chartSpace>'
    rels = '''<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
    <Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rIdH1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/header" Target="header1.xml"/><Relationship Id="rIdH2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/header" Target="header2.xml"/><Relationship Id="rIdFn" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/footnotes" Target="footnotes.xml"/><Relationship Id="rIdEn" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/endnotes" Target="endnotes.xml"/><Relationship Id="rIdCm" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments" Target="comments.xml"/><Relationship Id="rIdChart" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/chart" Target="charts/chart1.xml"/><Relationship Id="rIdLink" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink" Target="https://example.com/colour?q=a&amp;b=c" TargetMode="External"/><Relationship Id="rIdCx" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/customXml" Target="../customXml/item1.xml"/>%s</Relationships>'''
    main_ct = "application/vnd.ms-word.document.macroEnabled.main+xml" if macro else "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"
    ct = '''<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
    <Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Default Extension="bin" ContentType="application/vnd.ms-office.vbaProject"/><Override PartName="/word/document.xml" ContentType="%s"/><Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/><Override PartName="/word/header2.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/><Override PartName="/word/footnotes.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.footnotes+xml"/><Override PartName="/word/endnotes.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.endnotes+xml"/><Override PartName="/word/comments.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.comments+xml"/><Override PartName="/word/charts/chart1.xml" ContentType="application/vnd.openxmlformats-officedocument.drawingml.chart+xml"/><Override PartName="/customXml/itemProps1.xml" ContentType="application/vnd.openxmlformats-officedocument.customXmlProperties+xml"/><Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/><Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/></Types>''' % main_ct
    core = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><dc:title>Colour title</dc:title><dc:creator>Colour author</dc:creator><cp:keywords>colour</cp:keywords><dcterms:created xsi:type="dcterms:W3CDTF">2024-01-01T00:00:00Z</dcterms:created></cp:coreProperties>'
    app = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties"><Company>Colour Co</Company><Manager>Grey Manager</Manager></Properties>'
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", ct)
        z.writestr("_rels/.rels", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml"/></Relationships>')
        z.writestr("word/", "")
        z.writestr("word/document.xml", doc)
        z.writestr("word/_rels/document.xml.rels", rels % ('<Relationship Id="rIdVba" Type="http://schemas.microsoft.com/office/2006/relationships/vbaProject" Target="vbaProject.bin"/>' if macro else ""))
        z.writestr("word/header1.xml", hdr("Header one colour"))
        z.writestr("word/header2.xml", hdr("Header two colour"))
        z.writestr("word/footnotes.xml", notes("footnotes", "footnote", " Footnote colour in table"))
        z.writestr("word/endnotes.xml", notes("endnotes", "endnote", " Endnote colour"))
        z.writestr("word/comments.xml", comments)
        z.writestr("word/charts/chart1.xml", chart)
        z.writestr("customXml/item1.xml", '<?xml version="1.0" encoding="UTF-8" standalone="no"?><root xmlns="urn:colour"><colour>colour value</colour></root>')
        z.writestr("customXml/itemProps1.xml", '<?xml version="1.0" encoding="UTF-8" standalone="no"?>\n<ds:datastoreItem ds:itemID="{11111111-2222-3333-4444-555555555555}" xmlns:ds="http://schemas.openxmlformats.org/officeDocument/2006/customXml"><ds:schemaRefs/></ds:datastoreItem>')
        z.writestr("customXml/_rels/item1.xml.rels", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/customXmlProps" Target="itemProps1.xml"/></Relationships>')
        z.writestr("docProps/core.xml", core)
        z.writestr("docProps/app.xml", app)
        if macro:
            z.writestr("word/vbaProject.bin", b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1" + bytes(range(256)) * 4)



def make_edge(path):
    """XML as other writers write it: what re-writing an edited part must keep meaning the same."""
    W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" xmlns:mc="http://schemas.openxmlformats.org/markup-compatibility/2006" xmlns:w14="http://schemas.microsoft.com/office/word/2010/wordml" mc:Ignorable="w14"'
    body = ''.join([
     '<w:p><w:r><w:t xml:space="preserve">CDATA </w:t><w:t><![CDATA[colour <b>&amp; raw]]></w:t></w:r></w:p>',
     '<w:p><w:r><w:t>before</w:t></w:r><!-- inside colour comment --><?my-pi colour data?><w:r><w:t xml:space="preserve"> colour &amp; &lt;tag&gt; &#x263A; &#169;</w:t></w:r></w:p>',
     "<w:p><w:pPr><w:jc w:val='center'/></w:pPr><w:r><w:rPr><w:rFonts w:ascii='Times  New' w:hAnsi=\"a&#9;b&#10;c\"/></w:rPr><w:t>attrs colour</w:t></w:r></w:p>",
     '<w:p><w:r><w:t> leading and trailing colour </w:t></w:r></w:p>',
     '<w:p><w:r><w:t>two</w:t><w:t xml:space="preserve"> texts colour</w:t><w:sym w:font="Symbol" w:char="F0E0"/><w:t>after sym colour</w:t></w:r></w:p>',
     '<w:p><w:smartTag w:uri="urn:x" w:element="place"><w:smartTagPr><w:attr w:name="a" w:val="b"/></w:smartTagPr><w:r><w:t>smart colour</w:t></w:r></w:smartTag><w:customXml w:element="thing"><w:r><w:t xml:space="preserve"> custom colour</w:t></w:r></w:customXml></w:p>',
     '<w:p><w:r><w:t>inner ns </w:t></w:r><w:r xmlns:x="urn:x"><w:rPr><x:mark x:v="1"/></w:rPr><w:t>colour</w:t></w:r><w:r><w:t xml:space="preserve"> tail</w:t></w:r></w:p>',
     '<w:p><w:r><w:t xml:space="preserve">ins  </w:t></w:r><w:ins w:id="1" w:author="A" w:date="2024-01-01T00:00:00Z"><w:r><w:t>inserted</w:t></w:r></w:ins><w:r><w:t xml:space="preserve"> plain after</w:t></w:r></w:p>',
     '<w:p><w:r><w:t xml:space="preserve">moved </w:t></w:r><w:moveFrom w:id="2" w:author="A" w:date="2024-01-01T00:00:00Z"><w:r><w:t>colour moved away</w:t></w:r></w:moveFrom><w:moveTo w:id="3" w:author="A" w:date="2024-01-01T00:00:00Z"><w:r><w:t>colour moved here</w:t></w:r></w:moveTo></w:p>',
     '<w:p><w:r><w:rPr><w:rStyle w:val="A"/></w:rPr><w:t>sty</w:t></w:r><w:r><w:rPr><w:rStyle w:val="A"/><w:ins w:id="9" w:author="A" w:date="2024-01-01T00:00:00Z"/></w:rPr><w:t>le colour</w:t></w:r></w:p>',
     '<w:p><w:r><w:t>del</w:t></w:r><w:del w:id="5" w:author="A" w:date="2024-01-01T00:00:00Z"><w:r><w:delText>eted</w:delText></w:r></w:del><w:r><w:t xml:space="preserve">ete colour</w:t></w:r></w:p>',
     '<w:p><w:r><w:t>field</w:t></w:r><w:r><w:fldChar w:fldCharType="begin"/></w:r><w:r><w:instrText xml:space="preserve"> DOCPROPERTY colour </w:instrText></w:r><w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>res</w:t></w:r><w:r><w:fldChar w:fldCharType="end"/></w:r><w:r><w:t>ult colour</w:t></w:r></w:p>',
     '<w:p><w:r><w:t xml:space="preserve">line </w:t><w:br/><w:t>break</w:t><w:cr/><w:t xml:space="preserve">cr </w:t><w:noBreakHyphen/><w:t>x</w:t></w:r></w:p>',
     '<w:sectPr/>'])
    doc = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\r\n<w:document %s>\r\n<w:body>%s</w:body>\r\n</w:document>\r\n' % (W, body)
    hdr = ('<?xml version="1.0" encoding="UTF-16" standalone="yes"?>\r\n<w:hdr %s><w:p><w:r><w:t>UTF-16 header colour</w:t></w:r></w:p></w:hdr>' % W).encode("utf-16")
    core = '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/" xmlns:dcterms="http://purl.org/dc/terms/" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><dc:title>Colour title</dc:title><dc:description>line one&#xD;\nline two&#13;&#10;three</dc:description><cp:keywords>colour</cp:keywords></cp:coreProperties>'
    ct = '''<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
    <Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/><Override PartName="/word/header1.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml"/><Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/></Types>'''
    doc = doc.replace('<w:sectPr/>', '<w:sectPr><w:headerReference w:type="default" r:id="rIdH"/></w:sectPr>')
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("[Content_Types].xml", ct)
        z.writestr("_rels/.rels", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/></Relationships>')
        z.writestr("word/document.xml", doc)
        z.writestr("word/_rels/document.xml.rels", '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rIdH" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/header" Target="header1.xml"/></Relationships>')
        z.writestr("word/header1.xml", hdr)
        z.writestr("docProps/core.xml", core)

