<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>course::DocumentMain</name>
    <message numerus="yes">
        <source>--page: there is no page %1 (the document has %n page(s))</source>
        <translation>
            <numerusform>--page: there is no page %1 (the document has %n page)</numerusform>
            <numerusform>--page: there is no page %1 (the document has %n pages)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>course::PageTools</name>
    <message numerus="yes">
        <source>Copied the page&apos;s text (%n character(s))</source>
        <translation>
            <numerusform>Copied the page&apos;s text (%n character)</numerusform>
            <numerusform>Copied the page&apos;s text (%n characters)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>sorrel</name>
    <message numerus="yes">
        <source>The 1s orbital has %n node(s).</source>
        <translation>
            <numerusform>The 1s orbital has %n node.</numerusform>
            <numerusform>The 1s orbital has %n nodes.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>ε₁ₛ did not converge in %n cycle(s).</source>
        <translation>
            <numerusform>ε₁ₛ did not converge in %n cycle.</numerusform>
            <numerusform>ε₁ₛ did not converge in %n cycles.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>ε₁ₛ of cycle %1 did not converge in %n step(s).</source>
        <translation>
            <numerusform>ε₁ₛ of cycle %1 did not converge in %n step.</numerusform>
            <numerusform>ε₁ₛ of cycle %1 did not converge in %n steps.</numerusform>
        </translation>
    </message>
</context>
</TS>
