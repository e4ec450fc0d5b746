<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>VeDataLoadThread</name>
    <message>
        <source>Reading</source>
        <translation>Lesen</translation>
    </message>
</context>
</TS>
